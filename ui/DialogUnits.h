#pragma once

#include <QRect>

class QFont;

namespace ui {

// Pixels per four horizontal and per eight vertical dialog units: the average character
// width and the character height of the dialog's font.
struct DialogBaseUnits
{
    int x = 0;
    int y = 0;
};

// The base units of `font`: the average width of the 52 letters A-Z and a-z, rounded, and
// the font's line height.
DialogBaseUnits baseUnitsOf(const QFont& font);

// A rectangle given in dialog units, in pixels.
QRect dialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);

// number * numerator / denominator through a 64-bit product, rounded half away from zero;
// -1 when denominator is 0.
int mulDiv(int number, int numerator, int denominator);

} // namespace ui
