#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAbstractButton;
class QWidget;
class UserMessages;

// Enter and Escape in an editor, shared by the location and the appointment
// editor: Enter in a field moves to the next one, Enter on the save or
// cancel button presses that button, Escape anywhere abandons the entry.
// Each editor has its own instance, so the buttons always act on the editor
// that holds them.
class EditorKeys : public QObject {
public:
    // fields: the editor's fields in order; Enter in the last one moves to
    // the save button.
    EditorKeys(QList<QWidget*> fields, QAbstractButton* save, QAbstractButton* cancel, std::function<void()> abandon,
               UserMessages& messages, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> m_fields;
    QAbstractButton* m_save;
    QAbstractButton* m_cancel;
    std::function<void()> m_abandon;
    UserMessages& m_messages;
};
