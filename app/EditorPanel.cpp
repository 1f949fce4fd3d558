#include "app/EditorPanel.h"

#include "app/EditorKeys.h"
#include "app/ErrorReport.h"
#include "app/grid/ListGrid.h"
#include "model/UserMessages.h"
#include "store/Query.h"

#include <QPushButton>
#include <QTimer>
#include <QToolButton>

EditorPanel::EditorPanel(AppContext& context, const QString& objectName, QSize size, QWidget* parent, Texts texts,
                         QStringList startSort, QMap<int, QStringList> sortKeys)
    : Panel(objectName, size, parent)
    , Sort(std::move(startSort))
    , m_context(context)
    , m_texts(std::move(texts))
    , m_sortKeys(std::move(sortKeys))
{
}

void EditorPanel::attach(const Widgets& widgets)
{
    m_widgets = widgets;
    m_grid = widgets.grid;
    m_grid->rowChosen = [this](int row) { chooseRow(row); };
    m_grid->editRequested = [this] { editChosen(); };
    m_grid->titleClicked = [this](int column) { sortBy(column); };
    UserMessages& messages = m_context.messages;
    onClicked(widgets.newButton, messages, [this] { startNew(); });
    onClicked(widgets.deleteButton, messages, [this] { deleteChosen(); });
    onClicked(widgets.saveButton, messages, [this] { saveEntry(); });
    onClicked(widgets.cancelButton, messages, [this] { abandonEdit(); });
    onClicked(widgets.closeButton, messages, [this] { closePanel(); });
    new EditorKeys(
        widgets.fields, widgets.saveButton, widgets.cancelButton, [this] { abandonEdit(); }, messages, this);
    setEditorEnabled(false);
}

void EditorPanel::setEditorEnabled(bool enabled) const
{
    for (QWidget* child : m_widgets.editor->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

void EditorPanel::reloadList()
{
    // A row still chosen (a title click re-sorts under it) stays chosen.
    const qint32 keepId = m_grid->chosenRow() >= 0 ? chosenId() : 0;
    const bool loaded =
        m_grid->reload([this] { return guarded(m_context.messages, [this] { loadList(); }); }, 0, keepId);
    if (!loaded || m_grid->chosenRow() < 0)
        m_widgets.deleteButton->setEnabled(false);
}

void EditorPanel::clearEditor()
{
    clearFields();
    m_grid->clearChoice();
}

void EditorPanel::beginEdit()
{
    setEditorEnabled(true);
    m_widgets.newButton->setEnabled(false);
    m_widgets.deleteButton->setEnabled(false);
    m_widgets.closeButton->setEnabled(false);
    m_grid->setEnabled(false);
    m_grid->update();
    m_widgets.fields.first()->setFocus();
}

void EditorPanel::endEdit()
{
    clearEditor();
    setEditorEnabled(false);
    m_widgets.newButton->setEnabled(true);
    m_widgets.closeButton->setEnabled(true);
    m_grid->setEnabled(true);
    m_grid->update();
    m_grid->setFocus();
    EditMode = EditModes::Idle;
}

void EditorPanel::selectRow(int n)
{
    if (!m_grid->hasRows())
        return;
    m_grid->moveTo(std::min(n, m_grid->queryModel()->rowCount()) - 1);
    clearEditor();
}

void EditorPanel::chooseRow(int row)
{
    if (row < 0 || row >= m_grid->queryModel()->rowCount())
        return;
    m_grid->moveTo(row);
    m_widgets.deleteButton->setEnabled(true);
    showRow(row);
    m_grid->setChosenRow(row);
}

void EditorPanel::editChosen()
{
    // Changing needs a row of the current list: never the cleared record,
    // never one left over from an earlier list.
    if (!m_grid->hasRows() || m_grid->chosenRow() < 0 || chosenId() == 0)
        return;
    beginEdit();
    EditMode = EditModes::Change;
}

void EditorPanel::startNew()
{
    clearEditor();
    beginEdit();
    EditMode = EditModes::New;
}

void EditorPanel::saveEntry()
{
    if (!checkEntry())
        return;
    std::optional<WriteResult> saved;
    DatabaseError::Cause failure = DatabaseError::Cause::Statement;
    m_grid->quietly([&] {
        saved = guarded(
            m_context.messages, [this] { return writeEntry(); }, &failure);
    });
    if (!saved && failure == DatabaseError::Cause::Unanswered) {
        // The box said the save may have happened: the entry stays in the
        // editor, and the list below shows what the server holds.
        rereadWhenConnected();
        return;
    }
    if (!saved) {
        m_context.messages.show(QStringLiteral("Hiba történt az adatok rögzítése közben. Az adatokat valószínűleg "
                                               "nem sikerült menteni. Kérlek értesítsd a fejlesztőt!"),
                                QStringLiteral("Programhiba!"), UserMessages::Icon::Error, UserMessages::Buttons::Ok);
    } else if (*saved == WriteResult::Written) {
        // Ready for the next new row, also after a change.
        clearEditor();
        EditMode = EditModes::New;
        reloadList();
    } else {
        showGone();
        abandonEdit();
        return;
    }
    m_widgets.fields.first()->setFocus();
}

void EditorPanel::rereadWhenConnected()
{
    // Reading the list makes the connection again; while the server cannot
    // be reached the list stays empty and is tried again every two seconds,
    // without a box each time, as long as the panel is shown.
    const bool loaded = m_grid->reload(
        [this] {
            try {
                loadList();
                return true;
            } catch (const DatabaseError&) {
                return false;
            }
        },
        0, 0);
    if (!loaded && isVisible())
        QTimer::singleShot(rereadIntervalMs, this, [this] { rereadWhenConnected(); });
}

void EditorPanel::abandonEdit()
{
    endEdit();
    // A failed save ran in the list's query and emptied the grid.
    if (!listQuery().isOpen())
        reloadList();
}

void EditorPanel::deleteChosen()
{
    const int row = m_grid->chosenRow();
    if (row < 0 || chosenId() == 0) {
        m_widgets.deleteButton->setEnabled(false);
        return;
    }
    // The question names the chosen row, which is the one removed.
    const auto answer = m_context.messages.show(deleteQuestion(row), m_texts.deleteCaption, UserMessages::Icon::Warning,
                                                UserMessages::Buttons::YesNo);
    if (answer == UserMessages::Answer::Yes) {
        m_grid->moveTo(row); // reselect below the removed row, wherever the cursor wandered
        std::optional<WriteResult> removed;
        m_grid->quietly([&] {
            const int formerRow = listQuery().recNo();
            DatabaseError::Cause failure = DatabaseError::Cause::Statement;
            removed = guarded(
                m_context.messages, [this] { return removeChosen(); }, &failure);
            // The list is read again whatever the statement met.
            if (!removed && failure == DatabaseError::Cause::Unanswered)
                rereadWhenConnected();
            else if (guarded(m_context.messages, [this] { loadList(); }))
                selectRow(formerRow);
        });
        m_grid->clearChoice();
        m_widgets.deleteButton->setEnabled(false);
        if (removed == WriteResult::NoRowChanged)
            showGone();
    }
    m_grid->setFocus();
}

void EditorPanel::sortBy(int column)
{
    const bool markWasAscending = m_grid->markedAscending(column);
    if (!m_sortKeys.contains(column))
        return;
    Sort.setAscending(!markWasAscending);
    if (!m_grid->hasRows())
        return; // the direction waits for the next load; marks and order stay
    m_grid->showMark(column, Sort.ascending());
    Sort.setColumns(m_sortKeys.value(column));
    reloadList();
}

void EditorPanel::closePanel()
{
    hide();
    m_context.shell.EnableToolbar();
}

void EditorPanel::showGone()
{
    m_context.messages.show(m_texts.goneText, m_texts.goneCaption, UserMessages::Icon::Warning,
                            UserMessages::Buttons::Ok);
}
