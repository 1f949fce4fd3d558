#include "app/schedule/DonationsPanel.h"

#include "app/ErrorReport.h"
#include "app/grid/ListGrid.h"
#include "app/schedule/TimeEdit.h"
#include "model/Base.h"
#include "model/Calendar.h"
#include "model/IsolatedText.h"
#include "model/TimeText.h"
#include "model/UserMessages.h"
#include "store/DataModule.h"
#include "store/DonationStore.h"

#include <QComboBox>
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

const QString nap = QStringLiteral("at_veradasok.nap");
const QString kezdes = QStringLiteral("at_veradasok.kezdes");
const QString telepules = QStringLiteral("at_telepulesek.telepules");
const QString irsz = QStringLiteral("at_telepulesek.irsz");
const QString cim = QStringLiteral("at_helyszinek.cim");
const QString helyszin = QStringLiteral("at_helyszinek.helyszin");

QComboBox* addCombo(QWidget* parent, const QString& name, QRect geometry, int visibleRows)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(geometry);
    combo->setMaxVisibleItems(visibleRows);
    return combo;
}

} // namespace

QList<GridColumn> DonationsPanel::gridColumns()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    return {{QStringLiteral("at_veradasok.id"), {}, 0},
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
            {QStringLiteral("at_helyszinek.id"), {}, 0}};
}

DonationsPanel::DonationsPanel(AppContext& context, QWidget* parent)
    : EditorPanel(context, QStringLiteral("pnlVeradasok"), QSize(825, 626), parent,
                  {QStringLiteral("Véradó időpont törlése"),
                   QStringLiteral("Ez a véradó időpont közben megszűnt: egy másik program törölte az adatfájlból, így "
                                  "a változtatás nem menthető. A lista most a jelenlegi állapotot mutatja."),
                   QStringLiteral("A véradó időpont nem található!")},
                  donationSortStart(),
                  // A title click puts its column first; day and start come last after a location
                  // column; the end time is never a sort key and orders like the day.
                  {{ColNap, {nap, kezdes, telepules, irsz, cim, helyszin}},
                   {ColBefejezes, {nap, kezdes, telepules, irsz, cim, helyszin}},
                   {ColKezdes, {kezdes, nap, telepules, irsz, cim, helyszin}},
                   {ColIrsz, {irsz, telepules, cim, helyszin, nap, kezdes}},
                   {ColTelepules, {telepules, irsz, cim, helyszin, nap, kezdes}},
                   {ColCim, {cim, helyszin, telepules, irsz, nap, kezdes}},
                   {ColHelyszin, {helyszin, telepules, irsz, cim, nap, kezdes}}})
{
    const Editor editor = buildEditor();
    QPushButton* newButton = addButton(this, QStringLiteral("btnNewVeradas"), {473, 7, 75, 25}, QStringLiteral("Új"));
    newButton->setAutoDefault(true);
    QPushButton* deleteButton = addDeleteButton(this, QStringLiteral("btnDeleteVeradas"), {473, 38, 75, 25});
    addEditButton();

    auto* grid = new ListGrid(QStringLiteral("dbgVeradasok"), {7, 114, 810, 450}, context.dm.aq_veradasok,
                              gridColumns(), context.messages, this);
    setTabOrder(newButton, deleteButton);
    setTabOrder(deleteButton, m_cmbDay);
    setTabOrder(editor.cancel, grid);

    addRule(this, QStringLiteral("Bevel4"), {0, 570, 825, 2});
    m_title = addTitle(QStringLiteral("lblHaviVeradas"), {11, 583}, QStringLiteral("Véradások"));
    grid->setAccessibleName(m_title->text()); // the month's title once one is open
    QToolButton* close = addImageButton(QStringLiteral("btnCloseVeradasok"), {777, 578, 40, 40},
                                        Icons::PanelButton::Close, QStringLiteral("Bezárás"));
    attach({grid,
            editor.frame,
            newButton,
            deleteButton,
            close,
            editor.save,
            editor.cancel,
            {m_cmbDay, m_edtKezdes, m_edtBefejezes, m_cmbHelyszinek}});
}

DonationsPanel::Editor DonationsPanel::buildEditor()
{
    auto* editor = new BevelPanel(QStringLiteral("pnlUjVeradas"), {7, 8, 456, 100}, this);
    // Wide enough for "31" beside the drop-down arrow.
    m_cmbDay = addCombo(editor, QStringLiteral("cmbDay"), {109, 8, 44, 21}, 31);
    addLabel(editor, QStringLiteral("lblKezdesIdopontja"), {13, 13}, QStringLiteral("Véradás napja:"))
        ->setBuddy(m_cmbDay);
    // The chosen day's weekday, and a holiday's name: "péntek – újév".
    m_lblDayName = addLabel(editor, QStringLiteral("lblNapNeve"), {159, 13}, QString());
    m_lblDayName->setGeometry(159, 11, 160, 17);
    connect(m_cmbDay, &QComboBox::currentIndexChanged, this, [this] { showDayName(); });
    m_edtKezdes = new TimeEdit(QStringLiteral("edtKezdes"), {109, 35, 34, 21}, editor);
    addLabel(editor, QStringLiteral("lblVeradasIdeje"), {13, 40}, QStringLiteral("Véradás ideje:"))
        ->setBuddy(m_edtKezdes);
    // "Véradás ideje: [..] órától [..] óráig": each time field is named with its word.
    m_edtKezdes->setAccessibleName(QStringLiteral("Véradás ideje, órától"));
    addLabel(editor, QStringLiteral("lblOratol"), {149, 38}, QStringLiteral("órától"));
    m_edtBefejezes = new TimeEdit(QStringLiteral("edtBefejezes"), {183, 35, 34, 21}, editor);
    m_edtBefejezes->setAccessibleName(QStringLiteral("Véradás ideje, óráig"));
    addLabel(editor, QStringLiteral("lblOraig"), {222, 38}, QStringLiteral("óráig"))->setBuddy(m_edtBefejezes);
    m_cmbHelyszinek = addCombo(editor, QStringLiteral("cmbHelyszinek"), {109, 62, 332, 21}, 31);
    addLabel(editor, QStringLiteral("lblVeradasHelyszine"), {13, 67}, QStringLiteral("Véradás helyszíne:"))
        ->setBuddy(m_cmbHelyszinek);
    QPushButton* save = addButton(editor, QStringLiteral("btnAddVeradas"), {324, 18, 56, 25}, QStringLiteral("Rögzít"));
    QPushButton* cancel =
        addButton(editor, QStringLiteral("btnCancelVeradas"), {386, 18, 56, 25}, QStringLiteral("Mégsem"));
    for (TimeEdit* time : {m_edtKezdes, m_edtBefejezes})
        time->allowFocusTo({save, cancel});
    setTabOrder(m_cmbDay, m_edtKezdes);
    setTabOrder(m_edtKezdes, m_edtBefejezes);
    setTabOrder(m_edtBefejezes, m_cmbHelyszinek);
    setTabOrder(m_cmbHelyszinek, save);
    setTabOrder(save, cancel);
    return {editor, save, cancel};
}

// "Szerkeszt": kept hidden, as the windows' era left it; a double click edits.
void DonationsPanel::addEditButton()
{
    QPushButton* edit =
        addButton(this, QStringLiteral("btnEditVeradas"), {473, 79, 75, 25}, QStringLiteral("Szerkeszt"));
    QFont italic = edit->font();
    italic.setItalic(true);
    edit->setFont(italic);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->hide();
    onClicked(edit, m_context.messages, [this] { editChosen(); });
}

void DonationsPanel::openSelectedMonth()
{
    const Base& base = m_context.base;
    m_cmbDay->clear();
    for (int day = 1; day <= base.DaysInSelectedMonth; ++day)
        m_cmbDay->addItem(TwoDigitText(day));
    m_cmbDay->setCurrentIndex(0);

    m_title->setText(QString::number(base.SelectedYear) + u' ' + base.SelectedMonthName
                     + QStringLiteral(" havi véradó napok"));
    m_title->adjustSize();
    m_grid->setAccessibleName(m_title->text());

    move(Panel::centredIn(parentWidget()->size(), size()).x(), 47);
    show();
    raise();
    setEditorEnabled(false);
    // The list, the chosen row and the editor belong to the new month before
    // anything is loaded: nothing of an earlier month can be seen, changed or
    // deleted from this one, also when a load fails.
    m_context.dm.aq_veradasok.close();
    m_cmbHelyszinek->clear();
    clearEditor();
    deleteButton()->setEnabled(false);
    // A failed load leaves the bare window with a usable toolbar.
    auto backOut = qScopeGuard([this] {
        hide();
        m_context.shell.EnableToolbar();
    });

    m_locations = LoadLocationChoices(m_context.dm.datacore, base.CurrentSettings.megye_kod);
    LocationIds.clear();
    QStringList items{QStringLiteral("- Helyszin kiválasztása -")};
    for (qsizetype n = 0; n < m_locations.size(); ++n) {
        LocationIds.set(int(n + 1), m_locations[n].id);
        items << m_locations[n].text;
    }
    m_cmbHelyszinek->addItems(items);
    m_cmbHelyszinek->setCurrentIndex(0);
    backOut.dismiss();

    Sort.reset();
    m_grid->clearMarks(); // the marks follow the order they describe
    reloadList();
    deleteButton()->setEnabled(false);
    newButton()->setFocus();
}

void DonationsPanel::loadList()
{
    const Base& base = m_context.base;
    LoadDonationList(m_context.dm.aq_veradasok, base.CurrentSettings.megye_kod, base.SelectedYear, base.SelectedMonth,
                     Sort);
}

Query& DonationsPanel::listQuery() const
{
    return m_context.dm.aq_veradasok;
}

void DonationsPanel::clearFields()
{
    m_cmbDay->setCurrentIndex(0);
    m_edtKezdes->setText(QStringLiteral("00:00"));
    m_edtBefejezes->setText(QStringLiteral("00:00"));
    m_cmbHelyszinek->setCurrentIndex(0);
    CurrentDonation.Clear();
}

void DonationsPanel::showRow(int row)
{
    m_cmbDay->setCurrentIndex(m_grid->value(row, ColNap).toString().toInt() - 1);
    m_edtKezdes->setText(m_grid->value(row, ColKezdes).toString());
    m_edtBefejezes->setText(m_grid->value(row, ColBefejezes).toString());
    const qint32 location = m_grid->value(row, ColHelyszinId).toInt();
    m_cmbHelyszinek->setCurrentIndex(LocationIds.find(location)); // a withdrawn location: the placeholder
    CurrentDonation.SetAllValues(m_grid->value(row, ColId).toInt(), m_grid->value(row, ColEv).toString(),
                                 m_grid->value(row, ColHonap).toString(), m_grid->value(row, ColNap).toString(),
                                 m_edtKezdes->text(), m_edtBefejezes->text(), location);
}

QDate DonationsPanel::chosenDate() const
{
    const Base& base = m_context.base;
    return QDate(base.SelectedYear, base.SelectedMonth, m_cmbDay->currentIndex() + 1);
}

void DonationsPanel::showDayName()
{
    const QString text = m_cmbDay->currentIndex() < 0 ? QString() : DayDescription(chosenDate());
    m_lblDayName->setText(text);
    // A screen reader says the day with its weekday.
    m_cmbDay->setAccessibleDescription(text);
}

bool DonationsPanel::confirmUnusualDay()
{
    const QDate date = chosenDate();
    QStringList reasons;
    if (IsWeekend(date))
        reasons << QStringLiteral("hétvégi nap");
    const QString holiday = HolidayName(date);
    if (!holiday.isEmpty())
        reasons << holiday + QStringLiteral(" (munkaszüneti nap)");
    // The month's list holds every appointment of the day: the check costs
    // no statement and cannot fail.
    QStringList overlapping;
    const QString day = CurrentDonation.nap;
    for (int row = 0; row < m_grid->queryModel()->rowCount(); ++row) {
        if (m_grid->value(row, ColId).toInt() != CurrentDonation.id
            && m_grid->value(row, ColHelyszinId).toInt() == CurrentDonation.helyszin_kod
            && m_grid->value(row, ColNap).toString() == day) {
            const QString start = m_grid->value(row, ColKezdes).toString();
            const QString end = m_grid->value(row, ColBefejezes).toString();
            if (TimesOverlap(CurrentDonation.kezdes, CurrentDonation.befejezes, start, end))
                overlapping << start + u'-' + end;
        }
    }
    if (!overlapping.isEmpty())
        reasons << QStringLiteral("ugyanezen a helyszínen ezen a napon már van véradás, amely egybeesik vele (")
                + overlapping.join(QStringLiteral(", ")) + u')';
    if (reasons.isEmpty())
        return true;
    const QString text = HungarianDateText(date) + u' ' + HungarianWeekday(date) + QStringLiteral(": ")
        + reasons.join(QStringLiteral("; ")) + QStringLiteral(". Biztosan rögzíted?");
    return m_context.messages.show(text, QStringLiteral("Figyelmeztetés"), UserMessages::Icon::Warning,
                                   UserMessages::Buttons::YesNo)
        == UserMessages::Answer::Yes;
}

bool DonationsPanel::checkEntry()
{
    auto refuse = [this](const QString& text, const QString& caption, QWidget* focus) {
        m_context.messages.show(text, caption, UserMessages::Icon::Warning, UserMessages::Buttons::Ok);
        focus->setFocus();
        return false;
    };
    if (!IsValidTime(m_edtKezdes->text()))
        return refuse(QStringLiteral("Értelmezhetetlen Kezdési időpontot adtál meg. Kérlek nézd át!"),
                      QStringLiteral("Hibás idő érték!"), m_edtKezdes);
    if (!IsValidTime(m_edtBefejezes->text()))
        return refuse(QStringLiteral("Értelmezhetetlen Befejezési időpontot adtál meg. Kérlek nézd át!"),
                      QStringLiteral("Hibás idő érték!"), m_edtBefejezes);
    const int position = m_cmbHelyszinek->currentIndex();
    if (position < 1)
        return refuse(QStringLiteral("A véradás rögzítéséhez a helyszínt ki kell választanod!"),
                      QStringLiteral("Hiba a rögzítésnél!"), m_cmbHelyszinek);
    const Base& base = m_context.base;
    CurrentDonation.SetValues(QString::number(base.SelectedYear), TwoDigitText(base.SelectedMonth),
                              m_cmbDay->currentText(), m_edtKezdes->text(), m_edtBefejezes->text(),
                              m_locations[position - 1].id);
    // A weekend, a holiday or a double booking is asked about; "Nem" goes
    // back to the editor as it was.
    return confirmUnusualDay();
}

WriteResult DonationsPanel::writeEntry()
{
    return SaveDonation(m_context.dm.aq_veradasok, CurrentDonation, EditMode);
}

QString DonationsPanel::deleteQuestion(int row) const
{
    return QStringLiteral("Biztosan törlöd a következő Véradást? \n\"") + m_context.base.SelectedMonthName + u' '
        + m_grid->value(row, ColNap).toString() + QStringLiteral(". ") + m_grid->value(row, ColKezdes).toString() + u'-'
        + m_grid->value(row, ColBefejezes).toString() + QStringLiteral(", ")
        + m_grid->value(row, ColTelepules).toString() + QStringLiteral(" - ")
        + isolated(m_grid->value(row, ColHelyszin).toString()) + u'"';
}

WriteResult DonationsPanel::removeChosen()
{
    return DeleteDonation(m_context.dm.aq_veradasok, CurrentDonation.id);
}
