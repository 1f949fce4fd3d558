#pragma once

#include <QFrame>
#include <QWidget>

// The two states every editor panel switches between: entering (the
// editor's controls enabled; new, delete, close and the grid disabled) and
// browsing (the other way round, delete left disabled until a row is chosen
// again). Shared by the location and the appointment editor.
struct EditorSwitch {
    QFrame* editor = nullptr;
    QWidget* newButton = nullptr;
    QWidget* deleteButton = nullptr;
    QWidget* closeButton = nullptr;
    QWidget* grid = nullptr;
    QWidget* firstField = nullptr;

    void setEditorEnabled(bool enabled) const
    {
        for (QWidget* child : editor->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setEnabled(enabled);
    }

    void begin() const
    {
        setEditorEnabled(true);
        newButton->setEnabled(false);
        deleteButton->setEnabled(false);
        closeButton->setEnabled(false);
        grid->setEnabled(false);
        grid->update();
        firstField->setFocus();
    }

    void end() const
    {
        setEditorEnabled(false);
        newButton->setEnabled(true);
        closeButton->setEnabled(true);
        grid->setEnabled(true);
        grid->update();
        grid->setFocus();
    }
};
