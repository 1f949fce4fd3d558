#pragma once

#include <QString>

// Every message the program shows goes through this one interface: the
// program installs a message-box implementation, tests install one that
// records each box and answers from a script.
class UserMessages {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~UserMessages() = default;
    virtual Answer show(const QString& text, const QString& caption, Icon icon, Buttons buttons) = 0;
};
