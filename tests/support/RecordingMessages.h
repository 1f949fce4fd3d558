#pragma once

#include "model/UserMessages.h"

#include <QList>
#include <QStringList>

// Records every message box and answers from a script (Yes/No boxes take the
// next scripted answer; without one they answer No).
class RecordingMessages final : public UserMessages {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
    };

    Answer show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;

    void answerNext(Answer answer) { m_script << answer; }
    QList<Box> boxes;
    QStringList captions() const;
    void clear() { boxes.clear(); }

private:
    QList<Answer> m_script;
};
