#include "app/Icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Icons {
namespace {

constexpr int toolbarSize = 32;

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawCalendar(QPainter& p, const QColor& band)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 6, 22, 21), 2, 2);
    p.setBrush(band);
    p.drawRect(QRectF(4, 6, 22, 6));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawPoint(QPointF(8.5 + col * 4.5, 15.5 + row * 3.5));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(QPointF(9, 3.5), QPointF(9, 8));
    p.drawLine(QPointF(21, 3.5), QPointF(21, 8));
}

void drawBadge(QPainter& p, const QColor& fill, bool plus)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(18, 18, 13, 13));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (plus) {
        p.drawLine(QPointF(24.5, 21), QPointF(24.5, 28));
        p.drawLine(QPointF(21, 24.5), QPointF(28, 24.5));
    } else {
        p.drawLine(QPointF(21, 24.5), QPointF(27, 24.5));
        p.drawLine(QPointF(24.5, 21.5), QPointF(27.5, 24.5));
        p.drawLine(QPointF(24.5, 27.5), QPointF(27.5, 24.5));
    }
}

void drawNewMonth(QPainter& p)
{
    drawCalendar(p, QColor(200, 30, 40));
    drawBadge(p, QColor(40, 150, 60), true);
}

void drawOpenMonth(QPainter& p)
{
    drawCalendar(p, QColor(200, 30, 40));
    drawBadge(p, QColor(30, 90, 180), false);
}

void drawLocations(QPainter& p)
{
    QPainterPath pin;
    pin.moveTo(16, 30);
    pin.cubicTo(8, 19, 6, 15, 6, 12);
    pin.arcTo(QRectF(6, 2, 20, 20), 180, -180);
    pin.cubicTo(26, 15, 24, 19, 16, 30);
    p.setPen(QPen(QColor(120, 10, 20), 1.5));
    p.setBrush(QColor(210, 35, 45));
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(11.5, 7.5, 9, 9));
}

void drawExport(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 4, 20, 24));
    p.setPen(QPen(QColor(30, 120, 60), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(6, 10 + i * 5), QPointF(20, 10 + i * 5));
    p.drawLine(QPointF(12, 6), QPointF(12, 26));
    p.setPen(QPen(QColor(30, 90, 180), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(17, 19), QPointF(29, 19));
    p.drawLine(QPointF(24, 14), QPointF(29, 19));
    p.drawLine(QPointF(24, 24), QPointF(29, 19));
}

void drawSettings(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 100, 115));
    p.translate(16, 16);
    for (int i = 0; i < 8; ++i) {
        p.drawRoundedRect(QRectF(-2.5, -14, 5, 7), 1, 1);
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 10, 10);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 4, 4);
    p.resetTransform();
}

void drawExit(QPainter& p)
{
    p.setPen(QPen(QColor(150, 20, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 6, 22, 22), 120 * 16, 300 * 16);
    p.drawLine(QPointF(16, 3), QPointF(16, 16));
}

QPixmap toolbarPixmap(Toolbar which)
{
    QPixmap pixmap = canvas(toolbarSize);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // In the order of Toolbar.
    static void (*const draw[])(QPainter&) = {drawNewMonth, drawOpenMonth, drawLocations,
                                              drawExport,   drawSettings,  drawExit};
    draw[int(which)](p);
    return pixmap;
}

QPixmap panelPixmap(PanelButton which, int size)
{
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QPen thick(QColor(255, 255, 255), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto disc = [&](const QColor& colour) {
        p.setPen(QPen(colour.darker(130), 1));
        p.setBrush(colour);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(thick);
    };
    switch (which) {
    case PanelButton::Cancel:
    case PanelButton::Close:
        disc(QColor(200, 40, 40));
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
        break;
    case PanelButton::Save:
        disc(QColor(40, 150, 60));
        p.drawPolyline(QPolygonF({QPointF(10, 16.5), QPointF(14.5, 21), QPointF(22, 11.5)}));
        break;
    case PanelButton::Forward:
        disc(QColor(30, 100, 190));
        p.drawLine(QPointF(10, 16), QPointF(21, 16));
        p.drawPolyline(QPolygonF({QPointF(16.5, 11), QPointF(21.5, 16), QPointF(16.5, 21)}));
        break;
    case PanelButton::Letter:
        p.setPen(QPen(QColor(70, 70, 70), 1.2));
        p.setBrush(QColor(250, 240, 200));
        p.drawRect(QRectF(3, 8, 26, 17));
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(16, 18), QPointF(29, 8)}));
        break;
    case PanelButton::Workbook:
        p.setPen(QPen(QColor(20, 100, 50), 1.2));
        p.setBrush(QColor(30, 130, 70));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 10), QPointF(21, 22));
        p.drawLine(QPointF(21, 10), QPointF(11, 22));
        break;
    case PanelButton::Print: // a printer with a page coming out
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(110, 110, 120));
        p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 19, 14, 10));
        p.setPen(QPen(QColor(180, 30, 30), 1.2));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(18, 26));
        break;
    }
    return pixmap;
}

} // namespace

QPixmap greyed(const QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 3);
        }
    }
    return QPixmap::fromImage(image);
}

QIcon toolbar(Toolbar which)
{
    const QPixmap normal = toolbarPixmap(which);
    QIcon icon(normal);
    icon.addPixmap(greyed(normal), QIcon::Disabled);
    return icon;
}

QIcon panelButton(PanelButton which)
{
    const bool large = which == PanelButton::Letter || which == PanelButton::Workbook || which == PanelButton::Print;
    const int size = large ? 48 : 32;
    const QPixmap normal = panelPixmap(which, size);
    QIcon icon(normal);
    icon.addPixmap(greyed(normal), QIcon::Disabled);
    return icon;
}

} // namespace Icons
