#pragma once

#include "ui/hexview/HexViewLayout.h"

#include <QString>

#include <cstddef>

class EditBuffer;
class QPainter;
class QRect;

// What the painter needs to know of the view besides the buffer.
struct HexViewState {
    std::size_t topRow = 0;
    HexViewLayout::Area area = HexViewLayout::Area::Hex;
    int nibble = 0;
    bool focused = false;
};

// Draws the ruler and the rows that intersect the exposed rectangle, nothing else. Plain cells of
// one colour are gathered into one text line per row and colour; only changed bytes and the caret
// are drawn cell by cell. The line buffers are reused, so a paint allocates nothing per byte.
class HexViewPainter {
public:
    void paint(QPainter& painter, const QRect& exposed, int viewportWidth, const HexViewLayout& layout,
               const EditBuffer& buffer, const HexViewState& state);

private:
    void paintRuler(QPainter& painter, int viewportWidth, const HexViewLayout& layout, std::size_t caretColumn);
    void paintRow(QPainter& painter, int top, std::size_t row, int viewportWidth, const HexViewLayout& layout,
                  const EditBuffer& buffer, const HexViewState& state);
    void paintCaret(QPainter& painter, int top, const HexViewLayout& layout, const EditBuffer& buffer,
                    const HexViewState& state);
    void resetLines();

    QString evenHex_, oddHex_, evenText_, oddText_, dots_, offset_;
};
