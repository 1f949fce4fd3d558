#include "app/locations/LocationsPanel.h"

#include "app/EditorKeys.h"
#include "app/ErrorReport.h"
#include "app/grid/ListGrid.h"
#include "model/Base.h"
#include "model/SearchInString.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/LocationStore.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolButton>

namespace {

// Grid positions of the result columns.
enum Column { ColId = 0, ColDeleted = 1, ColTelepulesKod = 2, ColIrsz = 3, ColTelepules = 4, ColCim = 5, ColHelyszin = 6 };

const QString allFieldsRequired = QStringLiteral("A rögzítéshez minden mező kitöltése kötelező!");
const QString locationGone = QStringLiteral("Ez a helyszín közben megszűnt: egy másik program törölte az adatfájlból, "
                                            "így a változtatás nem menthető. A lista most a jelenlegi állapotot "
                                            "mutatja.");
const QString locationGoneCaption = QStringLiteral("A helyszín nem található!");

QLineEdit* addEdit(QWidget* parent, const QString& name, QPoint at)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(at.x(), at.y(), 240, 21);
    edit->setMaxLength(128);
    return edit;
}

} // namespace

LocationsPanel::LocationsPanel(AppContext& context, QWidget* parent)
    : Panel(QStringLiteral("pnlHelyszinek"), QSize(466, 425), parent)
    , m_context(context)
{
    const Qt::Alignment centred = Qt::AlignCenter;
    m_grid = new ListGrid(QStringLiteral("dbgHelyszinek"), {7, 8, 449, 221}, context.dm.aq_helyszinek,
                          {{QStringLiteral("id"), {}, 0},
                           {QStringLiteral("deleted"), {}, 0},
                           {QStringLiteral("telepules_kod"), {}, 0},
                           {QStringLiteral("irsz"), QStringLiteral("IrSz"), 33, centred},
                           {QStringLiteral("telepules"), QStringLiteral("Település"), 115},
                           {QStringLiteral("cim"), QStringLiteral("Cím"), 148},
                           {QStringLiteral("helyszin"), QStringLiteral("Helyszin"), 128}},
                          context.messages, this);
    m_grid->rowChosen = [this](int row) { dbgHelyszinekCellClick(row); };
    m_grid->editRequested = [this] { btnEditHelyszinClick(); };
    m_grid->titleClicked = [this](int column) { dbgHelyszinekTitleClick(column); };

    m_btnNew = addButton(this, QStringLiteral("btnNewHelyszin"), {40, 235, 75, 25}, QStringLiteral("Új"));
    m_btnNew->setAutoDefault(true);
    m_btnDelete = addDeleteButton(this, QStringLiteral("btnDeleteHelyszin"), {40, 266, 75, 25});

    m_editor = new BevelPanel(QStringLiteral("pnlUjHelyszin"), {152, 235, 305, 125}, this);
    addLabel(m_editor, QStringLiteral("lblVaros"), {6, 13}, QStringLiteral("Település:"));
    m_cmbTelepulesek = new QComboBox(m_editor);
    m_cmbTelepulesek->setObjectName(QStringLiteral("cmbTelepulesek"));
    m_cmbTelepulesek->setGeometry(57, 10, 240, 21);
    m_cmbTelepulesek->setMaxVisibleItems(20);
    addLabel(m_editor, QStringLiteral("lblCim"), {6, 40}, QStringLiteral("Cím:"));
    m_edtCim = addEdit(m_editor, QStringLiteral("edtCim"), {57, 37});
    addLabel(m_editor, QStringLiteral("lblHelyszin"), {6, 67}, QStringLiteral("Helyszin:"));
    m_edtHelyszin = addEdit(m_editor, QStringLiteral("edtHelyszin"), {57, 64});
    m_btnAdd = addButton(m_editor, QStringLiteral("btnAddHelyszin"), {183, 91, 56, 25}, QStringLiteral("Rögzít"));
    m_btnCancel = addButton(m_editor, QStringLiteral("btnCancelHelyszin"), {241, 91, 56, 25}, QStringLiteral("Mégsem"));
    setTabOrder(m_cmbTelepulesek, m_edtCim);
    setTabOrder(m_edtCim, m_edtHelyszin);
    setTabOrder(m_edtHelyszin, m_btnAdd);
    setTabOrder(m_btnAdd, m_btnCancel);

    addRule(this, QStringLiteral("Bevel1"), {0, 366, 465, 2});
    addTitle(QStringLiteral("Label2"), {11, 380}, QStringLiteral("Helyszinek"));
    m_btnClose = addImageButton(QStringLiteral("btnCloseHelyszinek"), {416, 375, 40, 40}, Icons::PanelButton::Close,
                                QStringLiteral("Bezárás"));
    m_switch = {m_editor, m_btnNew, m_btnDelete, m_btnClose, m_grid, m_cmbTelepulesek};
    m_switch.setEditorEnabled(false);

    UserMessages& messages = context.messages;
    auto on = [this, &messages](auto* sender, auto signal, void (LocationsPanel::*handler)()) {
        connect(sender, signal, this, [this, &messages, handler] {
            runAction(messages, [this, handler] { (this->*handler)(); });
        });
    };
    on(m_btnNew, &QPushButton::clicked, &LocationsPanel::btnNewHelyszinClick);
    on(m_btnDelete, &QPushButton::clicked, &LocationsPanel::btnDeleteHelyszinClick);
    on(m_btnAdd, &QPushButton::clicked, &LocationsPanel::btnAddHelyszinClick);
    on(m_btnCancel, &QPushButton::clicked, &LocationsPanel::btnCancelHelyszinClick);
    on(m_btnClose, &QToolButton::clicked, &LocationsPanel::btnCloseHelyszinekClick);
    new EditorKeys({m_cmbTelepulesek, m_edtCim, m_edtHelyszin}, m_btnAdd, m_btnCancel, [this] { abandonEdit(); },
                   messages, this);
}

void LocationsPanel::reloadList()
{
    // A location still chosen (a title click re-sorts under it) stays chosen.
    const qint32 chosenId = m_grid->chosenRow() >= 0 ? m_context.base.CurrentLocation.id : 0;
    const bool loaded = m_grid->reload(
        [this] { return LoadLocationList(m_context.dm, m_context.base, m_context.messages); }, ColId, chosenId);
    if (!loaded || m_grid->chosenRow() < 0)
        m_btnDelete->setEnabled(false);
}

void LocationsPanel::ShowLocationsPanel()
{
    move(Panel::centredIn(parentWidget()->size(), size()));
    show();
    raise();
    m_btnDelete->setEnabled(false);
    m_grid->setFocus();
}

void LocationsPanel::HideLocationsPanel()
{
    hide();
}

void LocationsPanel::ClearLocationEditor()
{
    m_cmbTelepulesek->setCurrentIndex(0);
    m_edtCim->clear();
    m_edtHelyszin->clear();
    m_context.base.CurrentLocation.Clear();
    m_grid->clearChoice();
}

void LocationsPanel::BeginLocationEdit()
{
    m_switch.begin();
}

void LocationsPanel::EndLocationEdit()
{
    ClearLocationEditor();
    m_switch.end();
    m_context.base.EditMode = EditModes::Idle;
}

void LocationsPanel::SelectLocationRow(int n)
{
    if (!m_grid->hasRows())
        return;
    m_grid->moveTo(std::min(n, m_grid->queryModel()->rowCount()) - 1);
    ClearLocationEditor();
}

void LocationsPanel::btnEditHelyszinekClick()
{
    Base& base = m_context.base;
    if (base.CurrentSettings.megye_kod == 0) {
        m_context.messages.show(QStringLiteral("Az helyszinek szerkesztését nem lehet használni, amig nincsen "
                                               "kiválasztva a Megye! [BEÁLLÍTÁSOK]"),
                                QStringLiteral("Hiányos adatok!"), UserMessages::Icon::Warning,
                                UserMessages::Buttons::Ok);
        return;
    }
    m_context.shell.DisableToolbar();
    ShowLocationsPanel();
    // A failed load leaves the bare window with a usable toolbar, not a
    // half-filled panel.
    auto backOut = qScopeGuard([this] {
        HideLocationsPanel();
        m_context.shell.EnableToolbar();
    });

    LoadSettlementChoices(m_context.dm, base);
    Query& settlements = m_context.dm.aq_telepulesek;
    QStringList items{QStringLiteral("- Település kiválasztása -")};
    for (settlements.first(); !settlements.eof(); settlements.next())
        items << settlements.field(QStringLiteral("irsz")).valueAsText() + u' '
                     + settlements.field(QStringLiteral("telepules")).asString();
    settlements.first();
    m_cmbTelepulesek->clear();
    m_cmbTelepulesek->addItems(items);
    m_cmbTelepulesek->setCurrentIndex(0);

    ResetLocationSort(base);
    m_grid->clearMarks(); // the marks follow the order they describe
    m_grid->clearChoice();
    reloadList();
    m_btnDelete->setEnabled(false);
    EndLocationEdit();
    m_grid->setFocus();
    backOut.dismiss();
}

void LocationsPanel::btnCloseHelyszinekClick()
{
    HideLocationsPanel();
    m_context.shell.EnableToolbar();
}

void LocationsPanel::dbgHelyszinekCellClick(int row)
{
    if (row < 0 || row >= m_grid->queryModel()->rowCount())
        return;
    m_grid->moveTo(row);
    m_btnDelete->setEnabled(true);
    const qint32 settlement = m_grid->value(row, ColTelepulesKod).toInt();
    m_cmbTelepulesek->setCurrentIndex(m_context.base.SettlementIds.find(settlement));
    m_edtCim->setText(m_grid->value(row, ColCim).toString());
    m_edtHelyszin->setText(m_grid->value(row, ColHelyszin).toString());
    m_context.base.CurrentLocation.SetAllValues(m_grid->value(row, ColId).toInt(),
                                                quint8(m_grid->value(row, ColDeleted).toInt()), settlement,
                                                m_edtCim->text(), m_edtHelyszin->text());
    m_grid->setChosenRow(row);
}

void LocationsPanel::btnEditHelyszinClick()
{
    // Editing needs a location of the current list: never the cleared record.
    if (!m_grid->hasRows() || m_grid->chosenRow() < 0 || m_context.base.CurrentLocation.id == 0)
        return;
    BeginLocationEdit();
    m_context.base.EditMode = EditModes::Change;
}

void LocationsPanel::btnNewHelyszinClick()
{
    ClearLocationEditor();
    BeginLocationEdit();
    m_context.base.EditMode = EditModes::New;
}

bool LocationsPanel::tidyField(QLineEdit* field)
{
    QString text = CollapseBlanks(field->text());
    field->setText(text);
    if (text.size() > 1 && text.front() == u' ') {
        text.remove(0, 1);
        field->setText(text);
    }
    return !(text.isEmpty() || text == QStringLiteral(" "));
}

void LocationsPanel::btnAddHelyszinClick()
{
    UserMessages& messages = m_context.messages;
    auto refuse = [&](const QString& caption, QWidget* focus) {
        messages.show(allFieldsRequired, caption, UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        focus->setFocus();
    };
    const int position = m_cmbTelepulesek->currentIndex();
    if (position <= 0) {
        refuse(QStringLiteral("Nem választottad ki a települést!"), m_cmbTelepulesek);
        return;
    }
    if (!tidyField(m_edtCim)) {
        refuse(QStringLiteral("A címhez nem írtál semmit!"), m_edtCim);
        return;
    }
    if (!tidyField(m_edtHelyszin)) {
        refuse(QStringLiteral("A helyszínhez nem írtál semmit!"), m_edtHelyszin);
        return;
    }
    Query& settlements = m_context.dm.aq_telepulesek;
    settlements.setRecNo(position);
    const qint32 settlement = settlements.field(QStringLiteral("id")).valueAsInteger();

    Base& base = m_context.base;
    base.CurrentLocation.SetValues(0, settlement, m_edtCim->text(), m_edtHelyszin->text());
    switch (SaveLocation(m_context.dm, base, messages)) {
    case WriteResult::Written:
        m_cmbTelepulesek->setCurrentIndex(0);
        m_edtCim->clear();
        m_edtHelyszin->clear();
        base.CurrentLocation.Clear();
        base.EditMode = EditModes::New;
        reloadList();
        break;
    case WriteResult::Failed:
        messages.show(QStringLiteral("Hiba történt az adatok rögzítése közben. Az adatokat valószínűleg nem sikerült "
                                     "menteni. Kérlek értesítsd a fejlesztőt!"),
                      QStringLiteral("Programhiba!"), UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        break;
    case WriteResult::NoRowChanged:
        messages.show(locationGone, locationGoneCaption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        abandonEdit();
        return;
    }
    m_cmbTelepulesek->setFocus();
}

void LocationsPanel::btnCancelHelyszinClick()
{
    abandonEdit();
}

void LocationsPanel::abandonEdit()
{
    EndLocationEdit();
    // A failed save ran in the list's query and emptied the grid.
    if (!m_context.dm.aq_helyszinek.isOpen())
        reloadList();
}

void LocationsPanel::btnDeleteHelyszinClick()
{
    const tHelyszinek& location = m_context.base.CurrentLocation;
    const int row = m_grid->chosenRow();
    if (row < 0 || location.id == 0) {
        m_btnDelete->setEnabled(false);
        return;
    }
    // The question names the chosen row, which is the location withdrawn.
    const QString question = QStringLiteral("Biztosan törlöd a következő helyszint? \n\"")
                             + m_grid->value(row, ColIrsz).toString() + u' ' + m_grid->value(row, ColTelepules).toString()
                             + QStringLiteral(", ") + location.Cim + QStringLiteral(" - ") + location.Helyszin + u'"';
    const auto answer = m_context.messages.show(question, QStringLiteral("Helyszin törlése"),
                                                UserMessages::Icon::Warning, UserMessages::Buttons::YesNo);
    if (answer == UserMessages::Answer::Yes) {
        m_grid->moveTo(row); // reselect below the withdrawn row, wherever the cursor wandered
        WriteResult withdrawn = WriteResult::Failed;
        m_grid->quietly([&] {
            withdrawn = WithdrawLocation(m_context.dm, m_context.base, m_context.messages,
                                         [this](int n) { SelectLocationRow(n); });
        });
        m_grid->clearChoice();
        m_btnDelete->setEnabled(false);
        if (withdrawn == WriteResult::NoRowChanged)
            m_context.messages.show(locationGone, locationGoneCaption, UserMessages::Icon::Warning,
                                    UserMessages::Buttons::Ok);
    }
    m_grid->setFocus();
}

void LocationsPanel::dbgHelyszinekTitleClick(int column)
{
    const bool markWasAscending = m_grid->markedAscending(column);
    if (column < ColIrsz || column > ColHelyszin)
        return;
    SortTable& sort = m_context.base.LocationSort;
    sort.setAscending(!markWasAscending);
    if (!m_grid->hasRows())
        return;
    m_grid->showMark(column, sort.ascending());
    const QString irsz = QStringLiteral("at_telepulesek.irsz");
    const QString telepules = QStringLiteral("at_telepulesek.telepules");
    const QString cim = QStringLiteral("at_helyszinek.cim");
    const QString helyszin = QStringLiteral("at_helyszinek.helyszin");
    switch (column) {
    case ColIrsz:
        sort.setColumns({irsz, telepules, cim, helyszin});
        break;
    case ColTelepules:
        sort.setColumns({telepules, irsz, cim, helyszin});
        break;
    case ColCim:
        sort.setColumns({cim, telepules, irsz, helyszin});
        break;
    case ColHelyszin:
        sort.setColumns({helyszin, telepules, irsz, cim});
        break;
    }
    reloadList();
}
