#include "app/EditorKeys.h"

#include "app/ErrorReport.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

EditorKeys::EditorKeys(QList<QWidget*> fields, QAbstractButton* save, QAbstractButton* cancel,
                       std::function<void()> abandon, UserMessages& messages, QObject* parent)
    : QObject(parent)
    , m_fields(std::move(fields))
    , m_save(save)
    , m_cancel(cancel)
    , m_abandon(std::move(abandon))
    , m_messages(messages)
{
    for (QWidget* field : m_fields)
        field->installEventFilter(this);
    m_save->installEventFilter(this);
    m_cancel->installEventFilter(this);
}

bool EditorKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool escape = key->key() == Qt::Key_Escape;
    // Only the bare keys count; Enter on the numeric keypad carries KeypadModifier.
    if ((!enter && !escape) || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;

    if (escape) {
        runAction(m_messages, m_abandon);
        return true;
    }
    if (watched == m_save || watched == m_cancel) {
        static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
    const qsizetype index = m_fields.indexOf(static_cast<QWidget*>(watched));
    if (index < 0)
        return false;
    QWidget* next = index + 1 < m_fields.size() ? m_fields[index + 1] : m_save;
    next->setFocus(Qt::TabFocusReason);
    return true;
}
