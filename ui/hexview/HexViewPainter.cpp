#include "ui/hexview/HexViewPainter.h"

#include "buffer/edit/EditBuffer.h"

#include <QColor>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <array>

namespace {
namespace Colour {
const QColor background(255, 255, 255);
const QColor gutter(242, 244, 247);
const QColor gutterLine(214, 219, 227);
const QColor offsetText(122, 132, 148);
const QColor caretRowBand(245, 248, 252);
const QColor rulerCaretColumn(218, 228, 244);
const QColor evenColumn(0, 0, 128); // navy
const QColor oddColumn(0, 0, 255);  // blue
const QColor unprintable(176, 182, 192);
const QColor changedText(255, 0, 0);
const QColor changedBackground(255, 255, 168);
const QColor selection(187, 214, 246);
const QColor selectionUnfocused(220, 227, 236);
const QColor caret(42, 93, 176);
const QColor caretText(255, 255, 255);
} // namespace Colour

// One-character strings made once, so drawing a single cell allocates nothing.
const std::array<QString, 16>& hexDigits()
{
    static const std::array<QString, 16> digits = [] {
        std::array<QString, 16> d;
        for (int i = 0; i < 16; ++i) d[i] = QString(QLatin1Char("0123456789ABCDEF"[i]));
        return d;
    }();
    return digits;
}

bool printable(std::uint8_t b)
{
    return b >= 0x20 && b < 0x7F;
}

const std::array<QString, 256>& glyphs()
{
    static const std::array<QString, 256> g = [] {
        std::array<QString, 256> a;
        for (int i = 0; i < 256; ++i) a[i] = QString(QLatin1Char(printable(std::uint8_t(i)) ? char(i) : '.'));
        return a;
    }();
    return g;
}

const QColor& columnColour(std::size_t column)
{
    return column % 2 == 0 ? Colour::evenColumn : Colour::oddColumn;
}
} // namespace

void HexViewPainter::resetLines()
{
    for (QString* line : {&evenHex_, &oddHex_}) line->fill(QLatin1Char(' '), HexViewLayout::kHexLineChars);
    for (QString* line : {&evenText_, &oddText_, &dots_}) line->fill(QLatin1Char(' '), 16);
}

void HexViewPainter::paint(QPainter& painter, const QRect& exposed, int viewportWidth, const HexViewLayout& layout,
                           const EditBuffer& buffer, const HexViewState& state)
{
    painter.fillRect(exposed, Colour::background);
    painter.fillRect(QRectF(0, exposed.top(), layout.gutterWidth(), exposed.height()), Colour::gutter);

    const std::size_t rows = buffer.grid().rowCount();
    const int firstVisible = std::max(0, layout.visibleRowAt(exposed.top()));
    const int lastVisible = layout.visibleRowAt(exposed.bottom());
    for (int v = firstVisible; v <= lastVisible && state.topRow + v < rows; ++v)
        paintRow(painter, layout.rowTop(v), state.topRow + v, viewportWidth, layout, buffer, state);

    painter.setPen(Colour::gutterLine);
    painter.drawLine(QPointF(layout.gutterWidth(), exposed.top()), QPointF(layout.gutterWidth(), exposed.bottom() + 1));
    painter.drawLine(QPointF(layout.separatorX(), exposed.top()), QPointF(layout.separatorX(), exposed.bottom() + 1));
    if (exposed.top() < layout.rulerHeight())
        paintRuler(painter, viewportWidth, layout, HexGrid::columnOf(buffer.caret()));
}

void HexViewPainter::paintRuler(QPainter& painter, int viewportWidth, const HexViewLayout& layout,
                                std::size_t caretColumn)
{
    const int height = layout.rulerHeight();
    painter.fillRect(QRect(0, 0, viewportWidth, height), Colour::gutter);
    const qreal cw = layout.charWidth();
    const int column = int(caretColumn);
    painter.fillRect(QRectF(layout.hexCellX(column) - cw * 0.5, 0, cw * 3, height - 1), Colour::rulerCaretColumn);
    painter.fillRect(QRectF(layout.textCellX(column), 0, cw, height - 1), Colour::rulerCaretColumn);
    painter.setPen(Colour::gutterLine);
    painter.drawLine(QPointF(0, height - 0.5), QPointF(viewportWidth, height - 0.5));
    painter.drawLine(QPointF(layout.gutterWidth(), 0), QPointF(layout.gutterWidth(), height));
    painter.drawLine(QPointF(layout.separatorX(), 0), QPointF(layout.separatorX(), height));

    resetLines();
    const auto& digits = hexDigits();
    for (int c = 0; c < 16; ++c) {
        QString& hex = c % 2 == 0 ? evenHex_ : oddHex_;
        hex[HexViewLayout::hexLineIndex(c)] = QLatin1Char('0');
        hex[HexViewLayout::hexLineIndex(c) + 1] = digits[c][0];
        (c % 2 == 0 ? evenText_ : oddText_)[c] = digits[c][0];
    }
    const qreal y = (height - layout.lineHeight()) / 2 + layout.baseline();
    painter.setPen(Colour::evenColumn);
    painter.drawText(QPointF(layout.hexX(), y), evenHex_);
    painter.drawText(QPointF(layout.textX(), y), evenText_);
    painter.setPen(Colour::oddColumn);
    painter.drawText(QPointF(layout.hexX(), y), oddHex_);
    painter.drawText(QPointF(layout.textX(), y), oddText_);
}

void HexViewPainter::paintRow(QPainter& painter, int top, std::size_t row, int viewportWidth,
                              const HexViewLayout& layout, const EditBuffer& buffer, const HexViewState& state)
{
    const qreal cw = layout.charWidth();
    const int height = layout.lineHeight();
    const qreal baseline = top + layout.baseline();
    const HexGrid grid = buffer.grid();
    const bool caretRow = HexGrid::rowOf(buffer.caret()) == row;
    if (caretRow) painter.fillRect(QRectF(layout.gutterWidth() + 1, top, viewportWidth, height), Colour::caretRowBand);

    const std::string offsetText = grid.offsetText(HexGrid::offsetOf(row, 0));
    offset_.resize(qsizetype(offsetText.size()));
    for (std::size_t i = 0; i < offsetText.size(); ++i) offset_[qsizetype(i)] = QLatin1Char(offsetText[i]);
    painter.setPen(caretRow ? Colour::evenColumn : Colour::offsetText);
    painter.drawText(QPointF(layout.offsetX(), baseline), offset_);

    resetLines();
    const std::size_t first = HexGrid::offsetOf(row, 0);
    const int columns = int(std::min<std::size_t>(HexGrid::kBytesPerRow, buffer.size() - first));
    const QColor& selectionColour = state.focused ? Colour::selection : Colour::selectionUnfocused;
    const auto& digits = hexDigits();
    const auto& glyph = glyphs();
    for (int c = 0; c < columns; ++c) {
        const std::size_t offset = first + std::size_t(c);
        const std::uint8_t b = buffer.at(offset);
        const bool changed = buffer.isChanged(offset);
        const qreal hexX = layout.hexCellX(c);
        const qreal textX = layout.textCellX(c);
        if (buffer.isSelected(offset)) {
            const qreal right = c == 15 || !buffer.isSelected(offset + 1) ? hexX + 2 * cw : layout.hexCellX(c + 1);
            painter.fillRect(QRectF(hexX, top, right - hexX, height), selectionColour);
            painter.fillRect(QRectF(textX, top, cw, height), selectionColour);
        } else if (changed) {
            painter.fillRect(QRectF(hexX - 1, top, 2 * cw + 2, height), Colour::changedBackground);
            painter.fillRect(QRectF(textX, top, cw, height), Colour::changedBackground);
        }
        if (changed || offset == buffer.caret()) {
            // Drawn one by one below, in their own colours.
            painter.setPen(changed ? Colour::changedText : columnColour(c));
            painter.drawText(QPointF(hexX, baseline), digits[b >> 4]);
            painter.drawText(QPointF(hexX + cw, baseline), digits[b & 15]);
            painter.setPen(changed ? Colour::changedText : printable(b) ? columnColour(c) : Colour::unprintable);
            painter.drawText(QPointF(textX, baseline), glyph[b]);
            continue;
        }
        QString& hex = c % 2 == 0 ? evenHex_ : oddHex_;
        hex[HexViewLayout::hexLineIndex(c)] = digits[b >> 4][0];
        hex[HexViewLayout::hexLineIndex(c) + 1] = digits[b & 15][0];
        (printable(b) ? (c % 2 == 0 ? evenText_ : oddText_) : dots_)[c] = glyph[b][0];
    }
    painter.setPen(Colour::evenColumn);
    painter.drawText(QPointF(layout.hexX(), baseline), evenHex_);
    painter.drawText(QPointF(layout.textX(), baseline), evenText_);
    painter.setPen(Colour::oddColumn);
    painter.drawText(QPointF(layout.hexX(), baseline), oddHex_);
    painter.drawText(QPointF(layout.textX(), baseline), oddText_);
    painter.setPen(Colour::unprintable);
    painter.drawText(QPointF(layout.textX(), baseline), dots_);
    if (caretRow && buffer.size() > 0) paintCaret(painter, top, layout, buffer, state);
}

void HexViewPainter::paintCaret(QPainter& painter, int top, const HexViewLayout& layout, const EditBuffer& buffer,
                                const HexViewState& state)
{
    const qreal cw = layout.charWidth();
    const int height = layout.lineHeight();
    const qreal baseline = top + layout.baseline();
    const std::size_t caret = buffer.caret();
    const int c = int(HexGrid::columnOf(caret));
    const std::uint8_t b = buffer.at(caret);
    const bool hexActive = state.area == HexViewLayout::Area::Hex;
    const QRectF hexCell(layout.hexCellX(c) - 1, top, 2 * cw + 2, height);
    const QRectF textCell(layout.textCellX(c), top, cw, height);

    painter.setPen(QPen(Colour::caret, 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF& other = hexActive ? textCell : hexCell;
    painter.drawRect(other.adjusted(0.5, 0.5, -0.5, -0.5));
    if (!state.focused) {
        painter.drawRect((hexActive ? hexCell : textCell).adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }
    // A solid block on the nibble or character that the next key replaces.
    const qreal x = hexActive ? layout.hexCellX(c) + state.nibble * cw : layout.textCellX(c);
    painter.fillRect(QRectF(x, top + 1, cw, height - 2), Colour::caret);
    painter.setPen(Colour::caretText);
    painter.drawText(QPointF(x, baseline), hexActive ? hexDigits()[state.nibble == 0 ? b >> 4 : b & 15] : glyphs()[b]);
}
