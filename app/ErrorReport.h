#pragma once

#include <QString>

#include <exception>
#include <utility>

class UserMessages;

// The general error report: an error that no operation caught ends the
// user's action and is shown under the caption "Kelmir" with the error icon;
// the window then waits for the next action.
void reportGeneralError(UserMessages& messages, const QString& text);
void reportGeneralError(UserMessages& messages, const std::exception& error);

// Runs one user action; whatever it throws ends the action at that point and
// reaches the general error report. Returns whether the action ran to its end.
template <typename Action>
bool runAction(UserMessages& messages, Action&& action)
{
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& error) {
        reportGeneralError(messages, error);
        return false;
    }
}
