#pragma once

#include <QString>

// A user's text set inside one of the program's own sentences (a question
// naming a location, a drop-down entry made of several texts, a grid cell):
// where it holds a right-to-left letter or a directional mark, override or
// embedding, it is put between FIRST STRONG ISOLATE and POP DIRECTIONAL
// ISOLATE, so that what it holds stays within it and never turns the
// sentence around it. Any other text is returned as it is (it cannot
// change the sentence's direction).
QString isolated(const QString& text);
