#include "app/Panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace {

// One bevel: its top and left edges in one colour, bottom and right in the other.
void paintBevel(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.setPen(topLeft);
    p.drawPolyline(QPolygon({r.bottomLeft(), r.topLeft(), r.topRight()}));
    p.setPen(bottomRight);
    p.drawPolyline(QPolygon({r.bottomLeft(), r.bottomRight(), r.topRight()}));
}

void paintBevels(QWidget* widget)
{
    QPainter p(widget);
    const QRect r = widget->rect().adjusted(0, 0, -1, -1);
    const QPalette& pal = widget->palette();
    // Outer lowered, inner raised.
    paintBevel(p, r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    paintBevel(p, r.adjusted(1, 1, -1, -1), pal.color(QPalette::Light), pal.color(QPalette::Dark));
}

} // namespace

QFont programFont(int size, bool pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    if (pixels)
        font.setPixelSize(size);
    else
        font.setPointSize(size);
    return font;
}

Panel::Panel(const QString& objectName, QSize size, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    resize(size);
    setAutoFillBackground(true);
}

QPoint Panel::centredIn(QSize client, QSize panel)
{
    return {client.width() / 2 - panel.width() / 2, client.height() / 2 - panel.height() / 2};
}

void Panel::paintEvent(QPaintEvent*)
{
    paintBevels(this);
}

QLabel* Panel::addLabel(QWidget* parent, const QString& name, QPoint at, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(at);
    label->adjustSize();
    return label;
}

QFrame* Panel::addRule(QWidget* parent, const QString& name, QRect geometry)
{
    auto* rule = new QFrame(parent);
    rule->setObjectName(name);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setLineWidth(1);
    rule->setGeometry(geometry);
    return rule;
}

QLabel* Panel::addTitle(const QString& name, QPoint at, const QString& text)
{
    QLabel* title = addLabel(this, name, at, QString());
    title->setFont(programFont(24, true));
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    title->setPalette(palette);
    title->setText(text);
    title->adjustSize();
    return title;
}

QToolButton* Panel::addImageButton(const QString& name, QRect geometry, Icons::PanelButton image, const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoRaise(true);
    button->setIcon(Icons::panelButton(image));
    button->setIconSize(geometry.size() - QSize(8, 8));
    button->setToolTip(hint);
    button->setAccessibleName(hint); // the image alone says nothing to a screen reader
    return button;
}

void Panel::showStoredText(QLineEdit* field, const QString& text, int typingLimit)
{
    field->setMaxLength(std::max<qsizetype>(typingLimit, text.size()));
    field->setText(text);
}

QPushButton* Panel::addButton(QWidget* parent, const QString& name, QRect geometry, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QPushButton* Panel::addDeleteButton(QWidget* parent, const QString& name, QRect geometry)
{
    QPushButton* button = addButton(parent, name, geometry, QStringLiteral("Töröl"));
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    QPalette maroon = button->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        maroon.setColor(group, QPalette::ButtonText, QColor(128, 0, 0));
    button->setPalette(maroon);
    button->setAutoDefault(true);
    return button;
}

BevelPanel::BevelPanel(const QString& objectName, QRect geometry, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setGeometry(geometry);
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    paintBevels(this);
}
