#pragma once

#include <QFont>
#include <QRect>

namespace arbolith {

// Dialog units are a quarter of the dialog font's average character width across and an eighth
// of its height down; the dialog's layout is given in them.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The template's font, or the desktop's sans-serif face at the same size where it is missing.
QFont DialogFont();

// Measured as a classic dialog manager does: the width of "A".."Z" "a".."z" averaged, halved
// and rounded; the height is the font's line height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Converts a rectangle in dialog units to pixels, each value rounded to the nearest pixel.
QRect DialogRectToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);

} // namespace arbolith
