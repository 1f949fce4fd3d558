#pragma once

#include "app/Panel.h"
#include "app/Shell.h"
#include "model/Records.h"
#include "model/SortTable.h"
#include "store/Statement.h"

#include <QMap>

class ListGrid;
class Query;
class QPushButton;
class QToolButton;

// The behaviour the location and the appointment panel share: a grid of
// the county's rows with a chosen row and sort marks, and an editor for one
// row that is idle, entering a new row or changing the chosen one. Choosing
// a row shows it in the disabled editor; "Új" and a double click start an
// edit; "Rögzít" checks, saves and leaves the editor ready for the next new
// row; "Mégsem" and Escape end the edit; "Töröl" asks and removes the chosen
// row; a title click re-sorts the list by a table of column to sort keys.
// Each panel supplies its fields, its checks and its statements.
class EditorPanel : public Panel {
public:
    // The editor's state; "Új", the close button and the grid are usable
    // only while it is Idle.
    EditModes EditMode = EditModes::Idle;
    // The list's ordering columns and their one direction (the panel's
    // LocationSortColumns or DonationSortColumns with its flag).
    SortTable Sort;

protected:
    // What a panel says about itself.
    struct Texts {
        QString deleteCaption; // the delete question's caption
        QString goneText;      // the row was deleted by another program
        QString goneCaption;
    };
    // The widgets the shared behaviour drives, made by the panel.
    struct Widgets {
        ListGrid* grid;
        QFrame* editor;
        QPushButton* newButton;
        QPushButton* deleteButton;
        QToolButton* closeButton;
        QPushButton* saveButton;
        QPushButton* cancelButton;
        QList<QWidget*> fields; // in the order Enter walks them
    };

    EditorPanel(AppContext& context, const QString& objectName, QSize size, QWidget* parent, Texts texts,
                QStringList startSort, QMap<int, QStringList> sortKeys);
    // Connects the buttons, keys and grid to the shared behaviour.
    void attach(const Widgets& widgets);

    // The panel's own part.
    virtual void loadList() = 0; // opens the grid's list (throws)
    virtual Query& listQuery() const = 0;
    virtual void clearFields() = 0;      // the editor's fields and the record emptied
    virtual void showRow(int row) = 0;   // the grid's row into the fields and the record
    virtual qint32 chosenId() const = 0; // the record's id; 0 when none
    // Checks the fields in their order; the first that fails shows its box,
    // takes the focus and ends the save. Fills the record when all pass.
    virtual bool checkEntry() = 0;
    virtual WriteResult writeEntry() = 0; // inserts or updates the record (throws)
    virtual QString deleteQuestion(int row) const = 0;
    virtual WriteResult removeChosen() = 0; // withdraws or deletes the record (throws)

    // The shared behaviour, also under the names each panel gives it.
    void reloadList();
    void clearEditor();
    void beginEdit();
    void endEdit();
    void selectRow(int n);
    void chooseRow(int row);
    void editChosen();
    void startNew();
    void saveEntry();
    void abandonEdit();
    void deleteChosen();
    void sortBy(int column);
    void closePanel();

    QPushButton* newButton() const { return m_widgets.newButton; }
    QPushButton* deleteButton() const { return m_widgets.deleteButton; }
    void setEditorEnabled(bool enabled) const;

    AppContext& m_context;
    ListGrid* m_grid = nullptr;

private:
    void showGone();
    // After a write whose answer was lost: the list read again once the
    // server answers.
    void rereadWhenConnected();
    static constexpr int rereadIntervalMs = 2000;

    Texts m_texts;
    QMap<int, QStringList> m_sortKeys;
    Widgets m_widgets{};
};
