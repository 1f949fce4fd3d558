#include "app/schedule/TimeEdit.h"

#include <QFocusEvent>
#include <QTimer>

TimeEdit::TimeEdit(const QString& objectName, QRect geometry, QWidget* parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
    setGeometry(geometry);
    setInputMask(QStringLiteral("99:99; ")); // 9: a digit is required
    setText(QStringLiteral("00:00"));
    setTextMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignCenter);
}

bool TimeEdit::mayLoseFocus() const
{
    return hasAcceptableInput() || !isEnabled() || !isVisible();
}

void TimeEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Another window (a message box) taking the focus is not leaving the field.
    if (mayLoseFocus() || event->reason() == Qt::ActiveWindowFocusReason
        || event->reason() == Qt::PopupFocusReason)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!mayLoseFocus())
            setFocus(Qt::OtherFocusReason);
    });
}

bool TimeEdit::focusNextPrevChild(bool next)
{
    if (!mayLoseFocus())
        return true; // Tab stays in the field
    return QLineEdit::focusNextPrevChild(next);
}
