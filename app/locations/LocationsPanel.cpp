#include "app/locations/LocationsPanel.h"

#include "app/ErrorReport.h"
#include "app/grid/ListGrid.h"
#include "model/Base.h"
#include "model/IsolatedText.h"
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
enum Column {
    ColId = 0,
    ColDeleted = 1,
    ColTelepulesKod = 2,
    ColIrsz = 3,
    ColTelepules = 4,
    ColCim = 5,
    ColHelyszin = 6
};

const QString irsz = QStringLiteral("at_telepulesek.irsz");
const QString telepules = QStringLiteral("at_telepulesek.telepules");
const QString cim = QStringLiteral("at_helyszinek.cim");
const QString helyszin = QStringLiteral("at_helyszinek.helyszin");

// What an address or a name may grow to while it is typed.
constexpr int typingLimit = 128;

const QString allFieldsRequired = QStringLiteral("A rögzítéshez minden mező kitöltése kötelező!");

QLineEdit* addEdit(QWidget* parent, const QString& name, QPoint at)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(at.x(), at.y(), 235, 21);
    edit->setMaxLength(typingLimit);
    return edit;
}

} // namespace

QList<GridColumn> LocationsPanel::gridColumns()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    return {{QStringLiteral("id"), {}, 0},
            {QStringLiteral("deleted"), {}, 0},
            {QStringLiteral("telepules_kod"), {}, 0},
            {QStringLiteral("irsz"), QStringLiteral("IrSz"), 33, centred},
            {QStringLiteral("telepules"), QStringLiteral("Település"), 115},
            {QStringLiteral("cim"), QStringLiteral("Cím"), 148},
            {QStringLiteral("helyszin"), QStringLiteral("Helyszin"), 128}};
}

LocationsPanel::LocationsPanel(AppContext& context, QWidget* parent)
    : EditorPanel(context, QStringLiteral("pnlHelyszinek"), QSize(466, 425), parent,
                  {QStringLiteral("Helyszin törlése"),
                   QStringLiteral("Ez a helyszín közben megszűnt: egy másik program törölte az adatfájlból, így a "
                                  "változtatás nem menthető. A lista most a jelenlegi állapotot mutatja."),
                   QStringLiteral("A helyszín nem található!")},
                  locationSortStart(),
                  // A title click puts its column first; the others break ties in this order.
                  {{ColIrsz, {irsz, telepules, cim, helyszin}},
                   {ColTelepules, {telepules, irsz, cim, helyszin}},
                   {ColCim, {cim, telepules, irsz, helyszin}},
                   {ColHelyszin, {helyszin, telepules, irsz, cim}}})
{
    auto* grid = new ListGrid(QStringLiteral("dbgHelyszinek"), {7, 8, 449, 221}, context.dm.aq_helyszinek,
                              gridColumns(), context.messages, this);
    grid->setAccessibleName(QStringLiteral("Helyszinek"));
    QPushButton* newButton = addButton(this, QStringLiteral("btnNewHelyszin"), {40, 235, 75, 25}, QStringLiteral("Új"));
    newButton->setAutoDefault(true);
    QPushButton* deleteButton = addDeleteButton(this, QStringLiteral("btnDeleteHelyszin"), {40, 266, 75, 25});

    auto* editor = new BevelPanel(QStringLiteral("pnlUjHelyszin"), {152, 235, 305, 125}, this);
    QLabel* settlementLabel = addLabel(editor, QStringLiteral("lblVaros"), {6, 13}, QStringLiteral("Település:"));
    m_cmbTelepulesek = new QComboBox(editor);
    m_cmbTelepulesek->setObjectName(QStringLiteral("cmbTelepulesek"));
    m_cmbTelepulesek->setGeometry(62, 10, 235, 21); // clear of "Település:"
    m_cmbTelepulesek->setMaxVisibleItems(20);
    settlementLabel->setBuddy(m_cmbTelepulesek);
    m_edtCim = addEdit(editor, QStringLiteral("edtCim"), {62, 37});
    addLabel(editor, QStringLiteral("lblCim"), {6, 40}, QStringLiteral("Cím:"))->setBuddy(m_edtCim);
    m_edtHelyszin = addEdit(editor, QStringLiteral("edtHelyszin"), {62, 64});
    addLabel(editor, QStringLiteral("lblHelyszin"), {6, 67}, QStringLiteral("Helyszin:"))->setBuddy(m_edtHelyszin);
    QPushButton* save =
        addButton(editor, QStringLiteral("btnAddHelyszin"), {183, 91, 56, 25}, QStringLiteral("Rögzít"));
    QPushButton* cancel =
        addButton(editor, QStringLiteral("btnCancelHelyszin"), {241, 91, 56, 25}, QStringLiteral("Mégsem"));
    setTabOrder(m_cmbTelepulesek, m_edtCim);
    setTabOrder(m_edtCim, m_edtHelyszin);
    setTabOrder(m_edtHelyszin, save);
    setTabOrder(save, cancel);

    addRule(this, QStringLiteral("Bevel1"), {0, 366, 465, 2});
    addTitle(QStringLiteral("Label2"), {11, 380}, QStringLiteral("Helyszinek"));
    QToolButton* close = addImageButton(QStringLiteral("btnCloseHelyszinek"), {416, 375, 40, 40},
                                        Icons::PanelButton::Close, QStringLiteral("Bezárás"));
    attach({grid, editor, newButton, deleteButton, close, save, cancel, {m_cmbTelepulesek, m_edtCim, m_edtHelyszin}});
}

void LocationsPanel::ShowLocationsPanel()
{
    move(Panel::centredIn(parentWidget()->size(), size()));
    show();
    raise();
    deleteButton()->setEnabled(false);
    m_grid->setFocus();
}

void LocationsPanel::btnEditHelyszinekClick()
{
    if (!mayOpenPanel(m_context, QStringLiteral("Az helyszinek szerkesztését nem lehet használni")))
        return;
    const quint8 county = m_context.base.CurrentSettings.megye_kod;
    ShowLocationsPanel();
    // A failed load leaves the bare window with a usable toolbar, not a
    // half-filled panel.
    auto backOut = qScopeGuard([this] {
        HideLocationsPanel();
        m_context.shell.EnableToolbar();
    });

    m_settlements = LoadSettlementChoices(m_context.dm.datacore, county);
    SettlementIds.clear();
    QStringList items{QStringLiteral("- Település kiválasztása -")};
    for (qsizetype n = 0; n < m_settlements.size(); ++n) {
        SettlementIds.set(int(n + 1), m_settlements[n].id);
        items << m_settlements[n].text;
    }
    m_cmbTelepulesek->clear();
    m_cmbTelepulesek->addItems(items);
    m_cmbTelepulesek->setCurrentIndex(0);

    Sort.reset();
    m_grid->clearMarks(); // the marks follow the order they describe
    m_grid->clearChoice();
    reloadList();
    endEdit();
    m_grid->setFocus();
    backOut.dismiss();
}

void LocationsPanel::loadList()
{
    LoadLocationList(m_context.dm.aq_helyszinek, m_context.base.CurrentSettings.megye_kod, Sort);
}

Query& LocationsPanel::listQuery() const
{
    return m_context.dm.aq_helyszinek;
}

void LocationsPanel::clearFields()
{
    m_cmbTelepulesek->setCurrentIndex(0);
    showStoredText(m_edtCim, QString(), typingLimit);
    showStoredText(m_edtHelyszin, QString(), typingLimit);
    CurrentLocation.Clear();
}

void LocationsPanel::showRow(int row)
{
    const qint32 settlement = m_grid->value(row, ColTelepulesKod).toInt();
    m_cmbTelepulesek->setCurrentIndex(SettlementIds.find(settlement));
    // What was stored is shown whole, also when it is longer than typing allows.
    showStoredText(m_edtCim, m_grid->value(row, ColCim).toString(), typingLimit);
    showStoredText(m_edtHelyszin, m_grid->value(row, ColHelyszin).toString(), typingLimit);
    CurrentLocation.SetAllValues(m_grid->value(row, ColId).toInt(), quint8(m_grid->value(row, ColDeleted).toInt()),
                                 settlement, m_edtCim->text(), m_edtHelyszin->text());
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

bool LocationsPanel::checkEntry()
{
    auto refuse = [this](const QString& caption, QWidget* focus) {
        m_context.messages.show(allFieldsRequired, caption, UserMessages::Icon::Error, UserMessages::Buttons::Ok);
        focus->setFocus();
        return false;
    };
    const int position = m_cmbTelepulesek->currentIndex();
    if (position <= 0)
        return refuse(QStringLiteral("Nem választottad ki a települést!"), m_cmbTelepulesek);
    if (!tidyField(m_edtCim))
        return refuse(QStringLiteral("A címhez nem írtál semmit!"), m_edtCim);
    if (!tidyField(m_edtHelyszin))
        return refuse(QStringLiteral("A helyszínhez nem írtál semmit!"), m_edtHelyszin);
    CurrentLocation.SetValues(0, m_settlements[position - 1].id, m_edtCim->text(), m_edtHelyszin->text());
    return true;
}

WriteResult LocationsPanel::writeEntry()
{
    return SaveLocation(m_context.dm.aq_helyszinek, CurrentLocation, EditMode);
}

QString LocationsPanel::deleteQuestion(int row) const
{
    return QStringLiteral("Biztosan törlöd a következő helyszint? \n\"") + m_grid->value(row, ColIrsz).toString() + u' '
        + m_grid->value(row, ColTelepules).toString() + QStringLiteral(", ") + isolated(CurrentLocation.Cim)
        + QStringLiteral(" - ") + isolated(CurrentLocation.Helyszin) + u'"';
}

WriteResult LocationsPanel::removeChosen()
{
    return WithdrawLocation(m_context.dm.aq_helyszinek, CurrentLocation.id);
}
