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
    auto* exportPanel = new ShellPanel(context, QStringLiteral("pnlExport"), {247, 276}, window);
    exportPanel->prompt(QStringLiteral("Label5"), {45, 15, 156, 34},
                        QStringLiteral("Kérlek válaszd ki, hogy melyik hónapot szeretnéd exportálni!"));
    exportPanel->rule(QStringLiteral("Bevel5"), {-1, 221, 247, 2});
    exportPanel->title(QStringLiteral("Label6"), {10, 233}, QStringLiteral("Exportálás"));
    exportPanel->leaveButton(QStringLiteral("btnCloseExport"), {200, 229, 40, 40}, Icons::PanelButton::Close,
                             QStringLiteral("Bezárás"));

    return {exportPanel};
}
