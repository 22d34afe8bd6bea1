#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace ui {

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (p < 0) != (c < 0);
    const long long q = (std::llabs(p) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -q : q);
}

QFont dialogFont(const QString& faceName, int pointSize)
{
    // "MS Shell Dlg" and its relatives are Windows' logical dialog fonts;
    // Liberation Sans has the metrics of the face they resolve to.
    static const QStringList logical{"ms shell dlg", "ms shell dlg 2", "ms sans serif", "microsoft sans serif",
                                     "tahoma", "system", "segoe ui", "arial", ""};
    QString family = faceName;
    if (logical.contains(faceName.toLower()))
        family = QStringLiteral("Liberation Sans");
    QFont f(family);
    f.setStyleHint(QFont::SansSerif);
    if (!QFontDatabase::hasFamily(family))
        f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    // Far above any dialog font, and below the sizes at which font metrics
    // stop being meaningful.
    constexpr int kMaxPointSize = 400;
    f.setPixelSize(mulDiv(pointSize > 0 ? std::min(pointSize, kMaxPointSize) : 8, 96, 72));
    return f;
}

BaseUnits baseUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    BaseUnits u;
    u.x = (width / 26 + 1) / 2;
    u.y = fm.height();
    if (u.x <= 0)
        u.x = 1;
    if (u.y <= 0)
        u.y = 1;
    return u;
}

QRect dialogUnitsToPixels(const QRect& dlu, const BaseUnits& u)
{
    return QRect(mulDiv(dlu.x(), u.x, 4), mulDiv(dlu.y(), u.y, 8), mulDiv(dlu.width(), u.x, 4),
                 mulDiv(dlu.height(), u.y, 8));
}

QSize dialogUnitsToPixels(const QSize& dlu, const BaseUnits& u)
{
    return QSize(mulDiv(dlu.width(), u.x, 4), mulDiv(dlu.height(), u.y, 8));
}

} // namespace ui
