#include "app/schedule/MonthChooserPanel.h"

#include "app/ErrorReport.h"
#include "model/Base.h"

#include <QToolButton>

MonthChooserPanel::MonthChooserPanel(AppContext& context, const Names& names, QSize size, QWidget* parent)
    : Panel(names.panel, size, parent)
    , m_context(context)
{
    const int bottom = size.height();
    addRule(this, names.rule, {0, bottom - 56, size.width(), 2});
    QToolButton* cancelButton = addImageButton(names.cancel, {size.width() - 89, bottom - 48, 40, 40},
                                               Icons::PanelButton::Cancel, QStringLiteral("Mégsem"));
    QToolButton* forwardButton = addImageButton(names.forward, {size.width() - 46, bottom - 48, 40, 40},
                                                Icons::PanelButton::Forward, QStringLiteral("Tovább"));
    onClicked(cancelButton, context.messages, [this] { cancel(); });
    onClicked(forwardButton, context.messages, [this] { forward(); });
}

void MonthChooserPanel::cancel()
{
    hide();
    m_context.shell.EnableToolbar();
}

void MonthChooserPanel::openMonth(int year, int month)
{
    hide();
    m_context.shell.DisableToolbar();
    m_context.shell.EnableToolbarFrame();
    m_context.base.selectMonth(year, month);
    m_context.shell.openSelectedMonth();
}

void MonthChooserPanel::showOver()
{
    move(Panel::centredIn(parentWidget()->size(), size()));
    show();
    raise();
}
