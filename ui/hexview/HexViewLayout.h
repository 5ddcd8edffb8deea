#pragma once

#include <QFont>

#include <cstddef>

// Where everything sits in the hex view, in pixels: the offset column, the 16 hex cells (with a
// wider gap after the eighth), the 16 character cells, the ruler above them and the row height.
// Also turns a click position back into a cell.
class HexViewLayout {
public:
    enum class Area { Hex, Text };
    struct Hit {
        Area area;
        int column;
        int nibble; // 0 high, 1 low; always 0 in the text area
    };

    void update(const QFont& font, int offsetDigits);

    qreal charWidth() const { return cw_; }
    int lineHeight() const { return lineHeight_; }
    int rulerHeight() const { return lineHeight_ + 4; }
    qreal baseline() const { return baseline_; }
    int width() const { return int(textX_ + 17.5 * cw_ + 0.999); }

    qreal offsetX() const { return cw_; }
    qreal gutterWidth() const { return hexX_ - cw_ * 1.25; }
    qreal hexX() const { return hexX_; }
    qreal textX() const { return textX_; }
    qreal separatorX() const { return textX_ - cw_ * 1.25; }
    // Left edge of the first digit of a hex cell and of a character cell.
    qreal hexCellX(int column) const { return hexX_ + cw_ * (3 * column + (column >= 8 ? 1 : 0)); }
    qreal textCellX(int column) const { return textX_ + cw_ * column; }
    // Character index inside a row's hex line (the row text the painter builds).
    static int hexLineIndex(int column) { return 3 * column + (column >= 8 ? 1 : 0); }
    static constexpr int kHexLineChars = 48;

    int rowTop(int visibleRow) const { return rulerHeight() + visibleRow * lineHeight_; }
    // The visible row under y (negative above the first one).
    int visibleRowAt(int y) const;
    // The cell under x; within an area already chosen (while dragging) x is pulled into it.
    Hit hitTest(qreal x) const;
    Hit hitTest(qreal x, Area within) const;

private:
    qreal cw_ = 8;
    int lineHeight_ = 16;
    qreal baseline_ = 12;
    qreal hexX_ = 0;
    qreal textX_ = 0;
};
