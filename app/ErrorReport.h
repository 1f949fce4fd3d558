#pragma once

#include "store/DatabaseError.h"

#include <QObject>
#include <QString>

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

class UserMessages;

// How the windows show what failed. The layers below throw (DatabaseError,
// ExportError); here each failure meets one of two reports.

// The general error report: an error that no operation caught ends the
// user's action and is shown under the caption "Kelmir" with the error icon,
// a closing full stop added when the last character's code is above that of
// the full stop (letters, digits); the window then waits for the next action.
void reportGeneralError(UserMessages& messages, const QString& text);
void reportGeneralError(UserMessages& messages, const std::exception& error);
QString withClosingFullStop(const QString& text);

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

// Wires a signal to a user action: each emission runs the action, with the
// signal's arguments, through runAction.
template <typename Sender, typename Signal, typename Action>
void onSignal(Sender* sender, Signal signal, UserMessages& messages, Action action)
{
    QObject::connect(sender, signal, sender, [&messages, action](const auto&... arguments) {
        runAction(messages, [&] { action(arguments...); });
    });
}

// The same for a button's click.
template <typename Button, typename Action>
void onClicked(Button* button, UserMessages& messages, Action action)
{
    QObject::connect(button, &Button::clicked, button, [&messages, action] { runAction(messages, action); });
}

// A guarded statement: a database failure shows the engine's text in the box
// "Hiba az SQL script futásakor!" (warning icon, OK) and ends the statement.
// Returns false (a statement without a value) or no value; a caller that
// must tell more (a write whose answer was lost) is given the failure's cause.
inline const QString sqlErrorCaption = QStringLiteral("Hiba az SQL script futásakor!");
void reportDatabaseError(UserMessages& messages, const QString& text);

template <typename Statement>
auto guarded(UserMessages& messages, Statement&& statement, DatabaseError::Cause* failure = nullptr)
{
    using Value = std::invoke_result_t<Statement>;
    try {
        if constexpr (std::is_void_v<Value>) {
            std::forward<Statement>(statement)();
            return true;
        } else {
            return std::optional<Value>(std::forward<Statement>(statement)());
        }
    } catch (const DatabaseError& error) {
        reportDatabaseError(messages, error.message());
        if (failure)
            *failure = error.cause();
        if constexpr (std::is_void_v<Value>)
            return false;
        else
            return std::optional<Value>();
    }
}
