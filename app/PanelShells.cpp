#include "app/PanelShells.h"

#include <QLabel>
#include <QToolButton>

namespace {

class ShellPanel : public Panel {
public:
    ShellPanel(AppContext& context, const QString& name, QSize size, QWidget* parent)
        : Panel(name, size, parent)
        , m_context(context)
    {
    }

    QLabel* title(const QString& name, QPoint at, const QString& text) { return addTitle(name, at, text); }
    QLabel* prompt(const QString& name, QRect geometry, const QString& text)
    {
        QLabel* label = addLabel(this, name, geometry.topLeft(), text);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->resize(geometry.size());
        return label;
    }
    void rule(const QString& name, QRect geometry) { addRule(this, name, geometry); }
    // A button that leaves the panel for the bare window.
    void leaveButton(const QString& name, QRect geometry, Icons::PanelButton image, const QString& hint)
    {
        QToolButton* button = addImageButton(name, geometry, image, hint);
        connect(button, &QToolButton::clicked, this, [this] {
            hide();
            m_context.shell.EnableToolbar();
        });
    }
    void button(const QString& name, QRect geometry, Icons::PanelButton image, const QString& hint)
    {
        addImageButton(name, geometry, image, hint)->setEnabled(false);
    }

private:
    AppContext& m_context;
};

} // namespace

QList<Panel*> PanelShells::create(AppContext& context, QWidget* window)
{
    auto* newTable = new ShellPanel(context, QStringLiteral("pnlNewTable"), {247, 136}, window);
    newTable->prompt(QStringLiteral("Label3"), {21, 15, 210, 13},
                     QStringLiteral("Melyik hónapra szeretnél adatokat felvinni?"));
    newTable->rule(QStringLiteral("Bevel2"), {0, 80, 247, 2});
    newTable->leaveButton(QStringLiteral("btnCancelTable"), {158, 88, 40, 40}, Icons::PanelButton::Cancel,
                          QStringLiteral("Mégsem"));
    newTable->button(QStringLiteral("btnMakeTable"), {201, 88, 40, 40}, Icons::PanelButton::Forward,
                     QStringLiteral("Tovább"));

    auto* openMonth = new ShellPanel(context, QStringLiteral("pnlMegnyitas"), {247, 136}, window);
    openMonth->prompt(QStringLiteral("Label4"), {45, 15, 156, 13}, QStringLiteral("Válaszd ki a véradások dátumát!"));
    openMonth->rule(QStringLiteral("Bevel3"), {0, 80, 247, 2});
    openMonth->leaveButton(QStringLiteral("btnCancelMegnyitas"), {158, 88, 40, 40}, Icons::PanelButton::Cancel,
                           QStringLiteral("Mégsem"));
    openMonth->button(QStringLiteral("btnOpenVeradasok"), {201, 88, 40, 40}, Icons::PanelButton::Forward,
                      QStringLiteral("Tovább"));

    auto* donations = new ShellPanel(context, QStringLiteral("pnlVeradasok"), {825, 626}, window);
    donations->rule(QStringLiteral("Bevel4"), {0, 570, 825, 2});
    donations->title(QStringLiteral("lblHaviVeradas"), {11, 583}, QStringLiteral("Véradások"));
    donations->leaveButton(QStringLiteral("btnCloseVeradasok"), {777, 578, 40, 40}, Icons::PanelButton::Close,
                           QStringLiteral("Bezárás"));

    auto* exportPanel = new ShellPanel(context, QStringLiteral("pnlExport"), {247, 276}, window);
    exportPanel->prompt(QStringLiteral("Label5"), {45, 15, 156, 34},
                        QStringLiteral("Kérlek válaszd ki, hogy melyik hónapot szeretnéd exportálni!"));
    exportPanel->rule(QStringLiteral("Bevel5"), {-1, 221, 247, 2});
    exportPanel->title(QStringLiteral("Label6"), {10, 233}, QStringLiteral("Exportálás"));
    exportPanel->leaveButton(QStringLiteral("btnCloseExport"), {200, 229, 40, 40}, Icons::PanelButton::Close,
                             QStringLiteral("Bezárás"));

    return {newTable, openMonth, donations, exportPanel};
}
