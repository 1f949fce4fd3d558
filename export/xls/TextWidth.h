#pragma once

#include <QString>
#include <QtGlobal>

// Column widths as Excel's auto-fit gives them for Arial 10 (the default
// font of a new workbook), measured with Arial's advance widths.
namespace xls {

// Width of text in pixels at 96 dpi, regular or bold.
int textWidthPixels(QStringView text, bool bold);

// Width in pixels of a whole number in regular Arial (all digits are equally wide).
int integerWidthPixels(qint64 number);

// COLINFO width (1/256 of the digit-zero width, 7 pixels) of a column whose
// widest text is `pixels` wide, with Excel's 5 pixels of cell padding.
quint16 columnWidthUnits(int pixels);

} // namespace xls
