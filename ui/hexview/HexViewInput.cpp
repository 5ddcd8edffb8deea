// Keyboard and mouse handling of the hex view: moving the caret, selecting, typing in the hex
// and character cells.
#include "ui/hexview/HexView.h"

#include "buffer/edit/EditCommands.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace {
int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}
} // namespace

bool HexView::focusNextPrevChild(bool next)
{
    // Tab switches between the hex and the character cells while the view has data.
    if (buffer_->size() > 0 && hasFocus()) return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void HexView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::Paste) {
        paste();
    } else if (event == QKeySequence::Undo) {
        undo();
    } else if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
               (event->modifiers() & Qt::ControlModifier)) {
        // Tab belongs to the view; Ctrl+Tab still moves the focus on.
        QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                                !(event->modifiers() & Qt::ShiftModifier));
    } else if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        state_.area = state_.area == Area::Hex ? Area::Text : Area::Hex;
        state_.nibble = 0;
        joinNextNibble_ = false;
        viewport()->update();
    } else if (!moveByKey(event) && !typeKey(event->text())) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool HexView::moveByKey(QKeyEvent* event)
{
    if (buffer_->size() == 0) return false;
    const std::size_t caret = buffer_->caret();
    const std::size_t last = buffer_->size() - 1;
    const std::size_t row = HexGrid::kBytesPerRow;
    const std::size_t page = row * std::size_t(visibleRows());
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    std::size_t target;
    switch (event->key()) {
    case Qt::Key_Left: target = caret > 0 ? caret - 1 : 0; break;
    case Qt::Key_Right: target = std::min(caret + 1, last); break;
    case Qt::Key_Up: target = caret >= row ? caret - row : caret; break;
    case Qt::Key_Down:
        target = HexGrid::rowOf(caret) + 1 < buffer_->grid().rowCount() ? std::min(caret + row, last) : caret;
        break;
    case Qt::Key_PageUp: target = caret >= page ? caret - page : HexGrid::columnOf(caret); break;
    case Qt::Key_PageDown: target = std::min(caret + page, last); break;
    case Qt::Key_Home: target = ctrl ? 0 : caret - HexGrid::columnOf(caret); break;
    case Qt::Key_End: target = ctrl ? last : std::min(caret - HexGrid::columnOf(caret) + row - 1, last); break;
    default: return false;
    }
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        // Keep the caret where it was on the screen: the page moves under it.
        const int shift = int(HexGrid::rowOf(target)) - int(HexGrid::rowOf(caret));
        verticalScrollBar()->setValue(verticalScrollBar()->value() + shift);
    }
    buffer_->moveCaret(target, event->modifiers() & Qt::ShiftModifier);
    return true;
}

bool HexView::typeKey(const QString& text)
{
    if (text.size() != 1 || readOnly_ || buffer_->size() == 0) return false;
    const QChar key = text.front();
    const std::size_t caret = buffer_->caret();
    const std::uint8_t old = buffer_->at(caret);
    if (state_.area == Area::Hex) {
        const int digit = hexDigitValue(key);
        if (digit < 0) return false;
        buffer_->moveCaret(caret); // typing ends a selection
        if (state_.nibble == 0) {
            buffer_->writeByte(caret, std::uint8_t((old & 0x0F) | digit << 4));
            state_.nibble = 1;
            joinNextNibble_ = true;
            updateRows(HexGrid::rowOf(caret), HexGrid::rowOf(caret));
            return true;
        }
        buffer_->writeByte(caret, std::uint8_t((old & 0xF0) | digit), joinNextNibble_);
    } else {
        if (!key.isPrint()) return false;
        buffer_->moveCaret(caret);
        buffer_->writeByte(caret, CharacterByte(key.unicode()));
    }
    if (caret + 1 < buffer_->size()) {
        buffer_->moveCaret(caret + 1);
    } else {
        state_.nibble = 0;
        joinNextNibble_ = false;
    }
    return true;
}

std::size_t HexView::offsetAt(int y, int column) const
{
    const int row = verticalScrollBar()->value() + layout_.visibleRowAt(y);
    return buffer_->grid().clampedOffsetOf(std::size_t(std::max(0, row)), std::size_t(column));
}

void HexView::placeCaretAt(const QPoint& position, bool extend, bool keepArea)
{
    if (buffer_->size() == 0) return;
    const HexViewLayout::Hit hit =
        keepArea ? layout_.hitTest(position.x(), state_.area) : layout_.hitTest(position.x());
    const std::size_t offset = offsetAt(position.y(), hit.column);
    const bool areaChanged = hit.area != state_.area;
    state_.area = hit.area;
    buffer_->moveCaret(offset, extend);
    // A click on a low digit puts the caret on it (moveCaret has reset the nibble).
    state_.nibble = extend || HexGrid::columnOf(offset) != std::size_t(hit.column) ? 0 : hit.nibble;
    if (areaChanged || state_.nibble != 0) viewport()->update();
}

void HexView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    dragging_ = true;
    placeCaretAt(event->position().toPoint(), event->modifiers() & Qt::ShiftModifier, false);
}

void HexView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    QPoint at = event->position().toPoint();
    // Dragging past the top or bottom edge scrolls a row at a time.
    const int top = layout_.rulerHeight();
    const int bottom = top + visibleRows() * layout_.lineHeight() - 1;
    if (at.y() < top) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
        at.setY(top);
    } else if (at.y() > bottom) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
        at.setY(bottom);
    }
    placeCaretAt(at, true, true);
}

void HexView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QAbstractScrollArea::mouseReleaseEvent(event);
}
