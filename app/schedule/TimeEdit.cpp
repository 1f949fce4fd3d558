#include "app/schedule/TimeEdit.h"

#include <QApplication>
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

bool TimeEdit::mayLoseFocusTo(QWidget* next) const
{
    return mayLoseFocus() || (next && m_mayTakeFocus.contains(next));
}

void TimeEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Another window (a message box) taking the focus is not leaving the
    // field. The widget taking the focus is already the focus widget here:
    // a press on "Rögzít" or "Mégsem" must keep it until its release.
    if (mayLoseFocusTo(QApplication::focusWidget()) || event->reason() == Qt::ActiveWindowFocusReason
        || event->reason() == Qt::PopupFocusReason)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!mayLoseFocusTo(QApplication::focusWidget()))
            setFocus(Qt::OtherFocusReason);
    });
}

bool TimeEdit::focusNextPrevChild(bool next)
{
    if (!mayLoseFocus())
        return true; // Tab stays in the field
    return QLineEdit::focusNextPrevChild(next);
}
