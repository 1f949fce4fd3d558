#pragma once

#include <QProxyStyle>

// The program's controls on every desktop: Fusion with its own light
// colours (whatever the desktop's theme, dark ones included), and two
// changes of its behaviour.
//
// - A drop-down opens as a list below the box of at most its
//   maxVisibleItems rows (Fusion opens a menu of every item, past the
//   window's edges, whatever the limit).
// - An image button (the toolbar's, a panel's) that has the keyboard's
//   focus shows a ring: Fusion marks none on a flat tool button.
// - A grid title's sort mark is drawn small above the title, centred, so
//   the title keeps its whole width and its place: a narrow column ("Nap",
//   "IrSz") stays readable.
class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle();

    // Fusion's light palette, every role set: a theme leaves nothing of its own.
    QPalette standardPalette() const override;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
};
