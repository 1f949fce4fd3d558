#include "export/xls/TextWidth.h"

#include <cmath>

namespace xls {
namespace {

#include "export/xls/ArialMetrics.inc"

// Arial 10 pt at 96 dpi: Windows rounds the font height to whole pixels (13).
constexpr double pixelsPerEm = 13.0;
constexpr int digitWidth = 7; // width of "0" in those pixels
constexpr int cellPadding = 5;

} // namespace

int textWidthPixels(QStringView text, bool bold)
{
    const unsigned short* advances = bold ? boldAdvances : regularAdvances;
    const unsigned short fallback = advances['n' - 0x20]; // characters beyond Latin Extended-A
    long units = 0;
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        units += code >= 0x20 && code < 0x180 ? advances[code - 0x20] : fallback;
    }
    return int(std::ceil(units * pixelsPerEm / 2048.0));
}

int integerWidthPixels(qint64 number)
{
    long units = number < 0 ? regularAdvances['-' - 0x20] : 0;
    quint64 magnitude = number < 0 ? quint64(-(number + 1)) + 1 : quint64(number);
    do {
        units += regularAdvances['0' - 0x20];
        magnitude /= 10;
    } while (magnitude != 0);
    return int(std::ceil(units * pixelsPerEm / 2048.0));
}

quint16 columnWidthUnits(int pixels)
{
    const double units = double(pixels + cellPadding) / digitWidth * 256.0;
    return quint16(std::min(units, 255.0 * 256.0));
}

} // namespace xls
