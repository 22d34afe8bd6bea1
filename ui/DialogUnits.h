#pragma once
// Dialog units to pixels, the way the platform computes them: from the dialog
// font's average character width ("A".."Z" "a".."z" over 52, rounded) and
// its height. Horizontal units are a quarter of the average width, vertical
// units an eighth of the height.
#include <QFont>
#include <QRect>

namespace ui {

struct BaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

// a * b / c rounded half away from zero, as the platform's MulDiv.
int mulDiv(int a, int b, int c);

// The font a template names (e.g. 8, "MS Shell Dlg"), mapped to a metric
// look-alike that this system has. Sized in pixels at 96 dpi so that layouts
// do not depend on the screen's reported resolution.
QFont dialogFont(const QString& faceName, int pointSize);

BaseUnits baseUnits(const QFont& font);

QRect dialogUnitsToPixels(const QRect& dlu, const BaseUnits& units);
QSize dialogUnitsToPixels(const QSize& dlu, const BaseUnits& units);

} // namespace ui
