#include "app/ProgramStyle.h"

#include <QPainter>
#include <QPalette>
#include <QStyleFactory>
#include <QStyleOptionHeader>

ProgramStyle::ProgramStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QPalette ProgramStyle::standardPalette() const
{
    const QColor window(239, 239, 239);
    const QColor dark = window.darker(150);
    const QColor mid = window.darker(130);
    const QColor shadow = dark.darker(135);
    const QColor disabledText(190, 190, 190);
    QPalette palette(Qt::black, window, window.lighter(150), dark, mid, Qt::black, Qt::white);
    palette.setColor(QPalette::Midlight, mid.lighter(110));
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::Shadow, shadow);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0, 0, 255));
    palette.setColor(QPalette::LinkVisited, QColor(255, 0, 255));
    palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Highlight, QColor(48, 140, 198));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    palette.setColor(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    palette.setColor(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
    palette.setResolveMask(~QPalette::ResolveMask(0));
    return palette;
}

int ProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const
{
    if (hint == SH_ComboBox_Popup)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != CE_Header || !header || header->sortIndicator == QStyleOptionHeader::None) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The section and its title as without a mark, then the mark small
    // above the title's middle.
    QStyleOptionHeader unmarked = *header;
    unmarked.sortIndicator = QStyleOptionHeader::None;
    painter->save(); // the section leaves its own clip behind
    QProxyStyle::drawControl(CE_Header, &unmarked, painter, widget);
    painter->restore();
    // Fusion's own arrow, in the header's colour; pointing up for SortUp.
    const qreal middle = option->rect.center().x() + 0.5;
    const qreal top = option->rect.top() + 1.5;
    const bool up = header->sortIndicator == QStyleOptionHeader::SortUp;
    const QPointF tip(middle, up ? top : top + 4);
    const QPointF left(middle - 4.5, up ? top + 4 : top);
    const QPointF right(middle + 4.5, up ? top + 4 : top);
    QColor colour = option->palette.color(QPalette::WindowText);
    colour.setAlpha(180);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(QPolygonF({tip, left, right}));
    painter->restore();
}

void ProgramStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                      const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control != CC_ToolButton || !(option->state & State_HasFocus) || !(option->state & State_KeyboardFocusChange))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QPen ring(option->palette.color(QPalette::Highlight), 2);
    painter->setPen(ring);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    painter->restore();
}
