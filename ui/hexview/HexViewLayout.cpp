#include "ui/hexview/HexViewLayout.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>

void HexViewLayout::update(const QFont& font, int offsetDigits)
{
    const QFontMetricsF metrics(font);
    // The advance of a long run, so cell positions agree with where a drawn row puts its glyphs.
    cw_ = metrics.horizontalAdvance(QString(64, QLatin1Char('0'))) / 64.0;
    const int padding = std::max(2, int(std::lround(metrics.height() * 0.2)));
    lineHeight_ = int(std::ceil(metrics.height())) + padding;
    baseline_ = padding / 2 + metrics.ascent();
    const int offsetChars = 2 + offsetDigits;
    hexX_ = cw_ + offsetChars * cw_ + cw_ * 2.5;
    textX_ = hexX_ + kHexLineChars * cw_ + cw_ * 2.5;
}

int HexViewLayout::visibleRowAt(int y) const
{
    const int inside = y - rulerHeight();
    return inside >= 0 ? inside / lineHeight_ : -1 - (-inside - 1) / lineHeight_;
}

HexViewLayout::Hit HexViewLayout::hitTest(qreal x) const
{
    return hitTest(x, x >= separatorX() ? Area::Text : Area::Hex);
}

HexViewLayout::Hit HexViewLayout::hitTest(qreal x, Area within) const
{
    if (within == Area::Text) {
        const int column = std::clamp(int(std::floor((x - textX_) / cw_)), 0, 15);
        return {Area::Text, column, 0};
    }
    // Each hex cell owns its two digits and the blank after them; the eighth blank is doubled.
    const int index = std::clamp(int(std::floor((x - hexX_) / cw_)), 0, kHexLineChars - 1);
    const int column = std::min(15, index >= 24 ? (index - 1) / 3 : index / 3);
    const int inCell = index - hexLineIndex(column);
    return {Area::Hex, column, inCell >= 1 ? 1 : 0};
}
