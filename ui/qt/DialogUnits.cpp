#include "ui/qt/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

// a * b / c rounded half away from zero, for the non-negative values a layout holds.
int ScaleRounded(int a, int b, int c) {
    return (a * b + c / 2) / c;
}

} // namespace

QFont DialogFont() {
    QFont font;
    font.setFamilies({QString::fromLatin1(kDialogHeader.fontName), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kDialogHeader.fontPoints);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QRect DialogRectToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return {ScaleRounded(x, units.x, 4), ScaleRounded(y, units.y, 8),
            ScaleRounded(width, units.x, 4), ScaleRounded(height, units.y, 8)};
}

} // namespace arbolith
