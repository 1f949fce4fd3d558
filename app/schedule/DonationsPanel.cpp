#include "app/schedule/DonationsPanel.h"

#include "app/EditorKeys.h"
#include "app/ErrorReport.h"
#include "app/grid/ListGrid.h"
#include "app/schedule/TimeEdit.h"
#include "model/Base.h"
#include "model/TimeText.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolButton>

namespace {

// Grid positions of the result columns.
enum Column {
    ColId = 0,
    ColEv = 1,
    ColHonap = 2,
    ColNap = 3,
    ColKezdes = 4,
    ColBefejezes = 5,
    ColIrsz = 6,
    ColTelepules = 7,
    ColCim = 8,
    ColHelyszin = 9,
    ColMegyeKod = 10,
    ColHelyszinId = 11,
};

const QString donationGone = QStringLiteral("Ez a véradó időpont közben megszűnt: egy másik program törölte az "
                                            "adatfájlból, így a változtatás nem menthető. A lista most a jelenlegi "
                                            "állapotot mutatja.");
const QString donationGoneCaption = QStringLiteral("A véradó időpont nem található!");

QComboBox* addCombo(QWidget* parent, const QString& name, QRect geometry, int visibleRows)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(geometry);
    combo->setMaxVisibleItems(visibleRows);
    return combo;
}

} // namespace

DonationsPanel::DonationsPanel(AppContext& context, QWidget* parent)
    : Panel(QStringLiteral("pnlVeradasok"), QSize(825, 626), parent)
    , m_context(context)
{
    m_editor = new BevelPanel(QStringLiteral("pnlUjVeradas"), {7, 8, 456, 100}, this);
    addLabel(m_editor, QStringLiteral("lblKezdesIdopontja"), {13, 13}, QStringLiteral("Véradás napja:"));
    // Wide enough for "31" beside the drop-down arrow.
    m_cmbDay = addCombo(m_editor, QStringLiteral("cmbDay"), {109, 8, 44, 21}, 31);
    addLabel(m_editor, QStringLiteral("lblVeradasIdeje"), {13, 40}, QStringLiteral("Véradás ideje:"));
    m_edtKezdes = new TimeEdit(QStringLiteral("edtKezdes"), {109, 35, 34, 21}, m_editor);
    addLabel(m_editor, QStringLiteral("lblOratol"), {149, 38}, QStringLiteral("órától"));
    m_edtBefejezes = new TimeEdit(QStringLiteral("edtBefejezes"), {183, 35, 34, 21}, m_editor);
    addLabel(m_editor, QStringLiteral("lblOraig"), {222, 38}, QStringLiteral("óráig"));
    addLabel(m_editor, QStringLiteral("lblVeradasHelyszine"), {13, 67}, QStringLiteral("Véradás helyszíne:"));
    m_cmbHelyszinek = addCombo(m_editor, QStringLiteral("cmbHelyszinek"), {109, 62, 332, 21}, 31);
    m_btnAdd = addButton(m_editor, QStringLiteral("btnAddVeradas"), {324, 18, 56, 25}, QStringLiteral("Rögzít"));
    m_btnCancel = addButton(m_editor, QStringLiteral("btnCancelVeradas"), {386, 18, 56, 25}, QStringLiteral("Mégsem"));
    for (TimeEdit* time : {m_edtKezdes, m_edtBefejezes})
        time->allowFocusTo({m_btnAdd, m_btnCancel});
    setTabOrder(m_cmbDay, m_edtKezdes);
    setTabOrder(m_edtKezdes, m_edtBefejezes);
    setTabOrder(m_edtBefejezes, m_cmbHelyszinek);
    setTabOrder(m_cmbHelyszinek, m_btnAdd);
    setTabOrder(m_btnAdd, m_btnCancel);

    m_btnNew = addButton(this, QStringLiteral("btnNewVeradas"), {473, 7, 75, 25}, QStringLiteral("Új"));
    m_btnNew->setAutoDefault(true);
    m_btnDelete = addDeleteButton(this, QStringLiteral("btnDeleteVeradas"), {473, 38, 75, 25});
    QPushButton* edit = addButton(this, QStringLiteral("btnEditVeradas"), {473, 79, 75, 25}, QStringLiteral("Szerkeszt"));
    QFont italic = edit->font();
    italic.setItalic(true);
    edit->setFont(italic);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->hide();

    const Qt::Alignment centred = Qt::AlignCenter;
    m_grid = new ListGrid(QStringLiteral("dbgVeradasok"), {7, 114, 810, 450}, context.dm.aq_veradasok,
                          {{QStringLiteral("at_veradasok.id"), {}, 0},
                           {QStringLiteral("ev"), {}, 0},
                           {QStringLiteral("honap"), {}, 0},
                           {QStringLiteral("nap"), QStringLiteral("Nap"), 24, centred},
                           {QStringLiteral("kezdes"), QStringLiteral("Kezdés"), 56, centred},
                           {QStringLiteral("befejezes"), QStringLiteral("Befejezés"), 56, centred},
                           {QStringLiteral("irsz"), QStringLiteral("IrSz"), 32, centred},
                           {QStringLiteral("telepules"), QStringLiteral("Település"), 167},
                           {QStringLiteral("cim"), QStringLiteral("Cím"), 207},
                           {QStringLiteral("helyszin"), QStringLiteral("Helyszín"), 240},
                           {QStringLiteral("megye_kod"), {}, 0},
                           {QStringLiteral("at_helyszinek.id"), {}, 0}},
                          context.messages, this);
    m_grid->rowChosen = [this](int row) { dbgVeradasokCellClick(row); };
    m_grid->editRequested = [this] { btnEditVeradasClick(); };
    m_grid->titleClicked = [this](int column) { dbgVeradasokTitleClick(column); };
    setTabOrder(m_btnNew, m_btnDelete);
    setTabOrder(m_btnDelete, m_cmbDay);
    setTabOrder(m_btnCancel, m_grid);

    addRule(this, QStringLiteral("Bevel4"), {0, 570, 825, 2});
    m_title = addTitle(QStringLiteral("lblHaviVeradas"), {11, 583}, QStringLiteral("Véradások"));
    m_btnClose = addImageButton(QStringLiteral("btnCloseVeradasok"), {777, 578, 40, 40}, Icons::PanelButton::Close,
                                QStringLiteral("Bezárás"));
    m_switch = {m_editor, m_btnNew, m_btnDelete, m_btnClose, m_grid, m_cmbDay};
    m_switch.setEditorEnabled(false);

    UserMessages& messages = context.messages;
    auto on = [this, &messages](QAbstractButton* sender, void (DonationsPanel::*handler)()) {
        connect(sender, &QAbstractButton::clicked, this,
                [this, &messages, handler] { runAction(messages, [this, handler] { (this->*handler)(); }); });
    };
    on(m_btnNew, &DonationsPanel::btnNewVeradasClick);
    on(m_btnDelete, &DonationsPanel::btnDeleteVeradasClick);
    on(edit, &DonationsPanel::btnEditVeradasClick);
    on(m_btnAdd, &DonationsPanel::btnAddVeradasClick);
    on(m_btnCancel, &DonationsPanel::btnCancelVeradasClick);
    on(m_btnClose, &DonationsPanel::btnCloseVeradasokClick);
    new EditorKeys({m_cmbDay, m_edtKezdes, m_edtBefejezes, m_cmbHelyszinek}, m_btnAdd, m_btnCancel,
                   [this] { abandonEdit(); }, messages, this);
}

void DonationsPanel::openSelectedMonth()
{
    Base& base = m_context.base;
    base.DaysInSelectedMonth = QDate(base.SelectedYear, base.SelectedMonth, 1).daysInMonth();
    m_cmbDay->clear();
    for (int day = 1; day <= base.DaysInSelectedMonth; ++day)
        m_cmbDay->addItem(TwoDigitText(day));
    m_cmbDay->setCurrentIndex(0);

    m_title->setText(QString::number(base.SelectedYear) + u' ' + base.SelectedMonthName
                     + QStringLiteral(" havi véradó napok"));
    m_title->adjustSize();

    move(Panel::centredIn(parentWidget()->size(), size()).x(), 47);
    show();
    raise();
    m_switch.setEditorEnabled(false);
    // The list, the chosen row and the editor belong to the new month before
    // anything is loaded: nothing of an earlier month can be seen, changed or
    // deleted from this one, also when a load fails.
    m_context.dm.aq_veradasok.close();
    m_cmbHelyszinek->clear();
    ClearDonationEditor();
    m_btnDelete->setEnabled(false);
    // A failed load leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] {
        hide();
        m_context.shell.EnableToolbar();
    });

    LoadLocationChoices(m_context.dm, base);
    Query& locations = m_context.dm.aq_helyszinek;
    QStringList items{QStringLiteral("- Helyszin kiválasztása -")};
    for (locations.first(); !locations.eof(); locations.next())
        items << locations.field(QStringLiteral("irsz")).valueAsText() + u' '
                     + locations.field(QStringLiteral("telepules")).asString() + QStringLiteral(", ")
                     + locations.field(QStringLiteral("cim")).asString() + QStringLiteral(" - ")
                     + locations.field(QStringLiteral("helyszin")).asString();
    locations.first();
    m_cmbHelyszinek->clear();
    m_cmbHelyszinek->addItems(items);
    m_cmbHelyszinek->setCurrentIndex(0);

    backOut.dismiss();

    ResetDonationSort(base);
    m_grid->clearMarks(); // the marks follow the order they describe
    reloadList();
    m_btnDelete->setEnabled(false);
    m_btnNew->setFocus();
}

void DonationsPanel::reloadList()
{
    // An appointment still chosen (a title click re-sorts under it) stays chosen.
    const qint32 chosenId = m_grid->chosenRow() >= 0 ? m_context.base.CurrentDonation.id : 0;
    const bool loaded = m_grid->reload(
        [this] { return LoadDonationList(m_context.dm, m_context.base, m_context.messages); }, ColId, chosenId);
    if (!loaded || m_grid->chosenRow() < 0)
        m_btnDelete->setEnabled(false);
}

void DonationsPanel::btnCloseVeradasokClick()
{
    hide();
    m_context.shell.EnableToolbar();
}

void DonationsPanel::ClearDonationEditor()
{
    m_cmbDay->setCurrentIndex(0);
    m_edtKezdes->setText(QStringLiteral("00:00"));
    m_edtBefejezes->setText(QStringLiteral("00:00"));
    m_cmbHelyszinek->setCurrentIndex(0);
    m_context.base.CurrentDonation.Clear();
    m_grid->clearChoice();
}

void DonationsPanel::BeginDonationEdit()
{
    m_switch.begin();
}

void DonationsPanel::EndDonationEdit()
{
    ClearDonationEditor();
    m_switch.end();
    m_context.base.EditMode = EditModes::Idle;
}

void DonationsPanel::SelectDonationRow(int n)
{
    if (!m_grid->hasRows())
        return;
    m_grid->moveTo(std::min(n, m_grid->queryModel()->rowCount()) - 1);
    ClearDonationEditor();
}

void DonationsPanel::dbgVeradasokCellClick(int row)
{
    if (row < 0 || row >= m_grid->queryModel()->rowCount())
        return;
    m_grid->moveTo(row);
    m_btnDelete->setEnabled(true);
    m_cmbDay->setCurrentIndex(m_grid->value(row, ColNap).toString().toInt() - 1);
    m_edtKezdes->setText(m_grid->value(row, ColKezdes).toString());
    m_edtBefejezes->setText(m_grid->value(row, ColBefejezes).toString());
    const qint32 location = m_grid->value(row, ColHelyszinId).toInt();
    m_cmbHelyszinek->setCurrentIndex(m_context.base.LocationIds.find(location));
    m_context.base.CurrentDonation.SetAllValues(
        m_grid->value(row, ColId).toInt(), m_grid->value(row, ColEv).toString(),
        m_grid->value(row, ColHonap).toString(), m_grid->value(row, ColNap).toString(), m_edtKezdes->text(),
        m_edtBefejezes->text(), location);
    m_grid->setChosenRow(row);
}

void DonationsPanel::btnEditVeradasClick()
{
    // Changing needs an appointment of this month's list: never the cleared
    // record, never one left over from another month.
    if (!m_grid->hasRows() || m_grid->chosenRow() < 0 || m_context.base.CurrentDonation.id == 0)
        return;
    BeginDonationEdit();
    m_context.base.EditMode = EditModes::Change;
}

void DonationsPanel::btnNewVeradasClick()
{
    ClearDonationEditor();
    BeginDonationEdit();
    m_context.base.EditMode = EditModes::New;
}

void DonationsPanel::btnAddVeradasClick()
{
    UserMessages& messages = m_context.messages;
    auto refuse = [&](const QString& text, const QString& caption, QWidget* focus) {
        messages.show(text, caption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        focus->setFocus();
    };
    if (!IsValidTime(m_edtKezdes->text())) {
        refuse(QStringLiteral("Értelmezhetetlen Kezdési időpontot adtál meg. Kérlek nézd át!"),
               QStringLiteral("Hibás idő érték!"), m_edtKezdes);
        return;
    }
    if (!IsValidTime(m_edtBefejezes->text())) {
        refuse(QStringLiteral("Értelmezhetetlen Befejezési időpontot adtál meg. Kérlek nézd át!"),
               QStringLiteral("Hibás idő érték!"), m_edtBefejezes);
        return;
    }
    const int position = m_cmbHelyszinek->currentIndex();
    if (position < 1) {
        refuse(QStringLiteral("A véradás rögzítéséhez a helyszínt ki kell választanod!"),
               QStringLiteral("Hiba a rögzítésnél!"), m_cmbHelyszinek);
        return;
    }
    Query& locations = m_context.dm.aq_helyszinek;
    locations.setRecNo(position);
    const qint32 location = locations.field(QStringLiteral("id")).valueAsInteger();

    Base& base = m_context.base;
    base.CurrentDonation.SetValues(QString::number(base.SelectedYear), TwoDigitText(base.SelectedMonth),
                                   m_cmbDay->currentText(), m_edtKezdes->text(), m_edtBefejezes->text(), location);
    WriteResult saved = WriteResult::Failed;
    m_grid->quietly([&] { saved = SaveDonation(m_context.dm, base, messages); });
    switch (saved) {
    case WriteResult::Written:
        ClearDonationEditor();
        base.EditMode = EditModes::New;
        reloadList();
        break;
    case WriteResult::Failed:
        messages.show(QStringLiteral("Hiba történt az adatok rögzítése közben. Az adatokat valószínűleg nem sikerült "
                                     "menteni. Kérlek értesítsd a fejlesztőt!"),
                      QStringLiteral("Programhiba!"), UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        break;
    case WriteResult::NoRowChanged:
        messages.show(donationGone, donationGoneCaption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        abandonEdit();
        return;
    }
    m_cmbDay->setFocus();
}

void DonationsPanel::btnCancelVeradasClick()
{
    abandonEdit();
}

void DonationsPanel::abandonEdit()
{
    EndDonationEdit();
    // A failed save ran in the list's query and emptied the grid.
    if (!m_context.dm.aq_veradasok.isOpen())
        reloadList();
}

void DonationsPanel::btnDeleteVeradasClick()
{
    const int row = m_grid->chosenRow();
    if (row < 0 || m_context.base.CurrentDonation.id == 0) {
        m_btnDelete->setEnabled(false);
        return;
    }
    // The question names the chosen row, which is the appointment deleted.
    const QString question = QStringLiteral("Biztosan törlöd a következő Véradást? \n\"")
                             + m_context.base.SelectedMonthName + u' ' + m_grid->value(row, ColNap).toString()
                             + QStringLiteral(". ") + m_grid->value(row, ColKezdes).toString() + u'-'
                             + m_grid->value(row, ColBefejezes).toString() + QStringLiteral(", ")
                             + m_grid->value(row, ColTelepules).toString() + QStringLiteral(" - ")
                             + m_grid->value(row, ColHelyszin).toString() + u'"';
    const auto answer = m_context.messages.show(question, QStringLiteral("Véradó időpont törlése"),
                                                UserMessages::Icon::Warning, UserMessages::Buttons::YesNo);
    if (answer == UserMessages::Answer::Yes) {
        m_grid->moveTo(row);
        WriteResult deleted = WriteResult::Failed;
        m_grid->quietly([&] {
            deleted = DeleteDonation(m_context.dm, m_context.base, m_context.messages,
                                     [this](int n) { SelectDonationRow(n); });
        });
        m_grid->clearChoice();
        m_btnDelete->setEnabled(false);
        if (deleted == WriteResult::NoRowChanged)
            m_context.messages.show(donationGone, donationGoneCaption, UserMessages::Icon::Warning,
                                    UserMessages::Buttons::Ok);
    }
    m_grid->setFocus();
}

void DonationsPanel::dbgVeradasokTitleClick(int column)
{
    if (column < ColNap || column > ColHelyszin)
        return;
    SortTable& sort = m_context.base.DonationSort;
    sort.setAscending(!m_grid->markedAscending(column));
    if (!m_grid->hasRows())
        return;
    m_grid->showMark(column, sort.ascending());
    const QString nap = QStringLiteral("at_veradasok.nap");
    const QString kezdes = QStringLiteral("at_veradasok.kezdes");
    const QString telepules = QStringLiteral("at_telepulesek.telepules");
    const QString irsz = QStringLiteral("at_telepulesek.irsz");
    const QString cim = QStringLiteral("at_helyszinek.cim");
    const QString helyszin = QStringLiteral("at_helyszinek.helyszin");
    switch (column) {
    case ColNap:
    case ColBefejezes: // the end time is never a sort key
        sort.setColumns({nap, kezdes, telepules, irsz, cim, helyszin});
        break;
    case ColKezdes:
        sort.setColumns({kezdes, nap, telepules, irsz, cim, helyszin});
        break;
    case ColIrsz:
        sort.setColumns({irsz, telepules, cim, helyszin, nap, kezdes});
        break;
    case ColTelepules:
        sort.setColumns({telepules, irsz, cim, helyszin, nap, kezdes});
        break;
    case ColCim:
        sort.setColumns({cim, helyszin, telepules, irsz, nap, kezdes});
        break;
    case ColHelyszin:
        sort.setColumns({helyszin, telepules, irsz, cim, nap, kezdes});
        break;
    }
    reloadList();
}
