#include "buffer/edit/EditBuffer.h"

#include "buffer/edit/PatternSearch.h"

#include <algorithm>
#include <cstring>

void EditBuffer::load(std::span<const std::uint8_t> data, std::span<const std::uint8_t> tail)
{
    const bool wasModified = modified();
    const auto* own = bytes_.data();
    const std::size_t size = data.size() + tail.size();
    if (data.data() >= own && data.data() < own + bytes_.size()) {
        std::vector<std::uint8_t> part; // a part of itself
        part.reserve(size);
        part.assign(data.begin(), data.end());
        bytes_ = std::move(part);
    } else {
        // The old contents go before the new ones come, so that a chip image of tens of MiB is
        // never held twice; storage of about the right size is kept.
        if (size > bytes_.capacity() || size < bytes_.capacity() / 2) bytes_ = {};
        bytes_.reserve(size);
        bytes_.assign(data.begin(), data.end());
    }
    bytes_.insert(bytes_.end(), tail.begin(), tail.end());
    marks_.reset(bytes_.size());
    history_.clear();
    setCaretAndAnchor(grid().clamp(caret_), grid().clamp(caret_), false);
    if (onContentsChanged) onContentsChanged(0, bytes_.size());
    if (wasModified && onModifiedChanged) onModifiedChanged(false);
}

std::size_t EditBuffer::read(std::size_t offset, std::uint8_t* out, std::size_t count) const
{
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min(count, bytes_.size() - offset);
    std::memcpy(out, bytes_.data() + offset, n);
    return n;
}

void EditBuffer::beginEdit(std::size_t offset, std::size_t count, bool joinStep)
{
    if (joinStep && count == 1 && history_.lastIsSingleByteAt(offset)) return;
    scratchMarks_.resize(count);
    for (std::size_t i = 0; i < count; ++i) scratchMarks_[i] = marks_.test(offset + i) ? 1 : 0;
    history_.record(offset, std::span(bytes_).subspan(offset, count), scratchMarks_);
}

void EditBuffer::finishEdit(std::size_t offset, std::size_t count, bool wasModified)
{
    marks_.setRange(offset, count);
    if (onContentsChanged) onContentsChanged(offset, count);
    if (!wasModified && onModifiedChanged) onModifiedChanged(true);
}

bool EditBuffer::writeByte(std::size_t offset, std::uint8_t value, bool joinStep)
{
    if (offset >= bytes_.size()) return false;
    const bool wasModified = modified();
    beginEdit(offset, 1, joinStep);
    bytes_[offset] = value;
    finishEdit(offset, 1, wasModified);
    return true;
}

bool EditBuffer::writeBytes(std::size_t offset, std::span<const std::uint8_t> values)
{
    if (values.empty() || offset >= bytes_.size() || values.size() > bytes_.size() - offset) return false;
    const bool wasModified = modified();
    beginEdit(offset, values.size(), false);
    std::memcpy(bytes_.data() + offset, values.data(), values.size());
    finishEdit(offset, values.size(), wasModified);
    return true;
}

bool EditBuffer::fill(std::size_t offset, std::size_t count, std::uint8_t value)
{
    if (count == 0 || offset >= bytes_.size() || count > bytes_.size() - offset) return false;
    const bool wasModified = modified();
    beginEdit(offset, count, false);
    std::memset(bytes_.data() + offset, value, count);
    finishEdit(offset, count, wasModified);
    return true;
}

bool EditBuffer::undo()
{
    if (history_.empty()) return false;
    const UndoHistory::Step step = history_.last();
    const std::size_t offset = step.offset;
    const std::size_t count = step.oldBytes.size();
    std::memcpy(bytes_.data() + offset, step.oldBytes.data(), count);
    for (std::size_t i = 0; i < count; ++i) marks_.set(offset + i, step.oldMarks[i] != 0);
    history_.pop();
    setCaretAndAnchor(offset, offset, false);
    if (onContentsChanged) onContentsChanged(offset, count);
    if (history_.empty() && onModifiedChanged) onModifiedChanged(false);
    return true;
}

void EditBuffer::markSaved()
{
    const bool wasModified = modified();
    marks_.reset(bytes_.size());
    history_.clear();
    if (wasModified && onModifiedChanged) onModifiedChanged(false);
}

std::int64_t EditBuffer::find(std::span<const std::uint8_t> pattern, std::size_t first, std::size_t last,
                              bool ignoreCase) const
{
    return FindPattern(bytes_, pattern, first, last, ignoreCase);
}

std::int64_t EditBuffer::findNext(std::span<const std::uint8_t> pattern, std::size_t last)
{
    const std::int64_t found = find(pattern, selectionStart() + selectionCount(), last, false);
    if (found >= 0) select(static_cast<std::size_t>(found), pattern.size());
    return found;
}

void EditBuffer::moveCaret(std::size_t offset, bool extend)
{
    const std::size_t target = grid().clamp(offset);
    if (extend)
        setCaretAndAnchor(target, selecting_ ? anchor_ : caret_, true);
    else
        setCaretAndAnchor(target, target, false);
}

void EditBuffer::setSelection(std::size_t start, std::size_t end)
{
    const HexGrid g = grid();
    setCaretAndAnchor(g.clamp(end), g.clamp(start), start != end);
}

void EditBuffer::select(std::size_t start, std::size_t count)
{
    const HexGrid g = grid();
    const std::size_t first = g.clamp(start);
    const std::size_t last = count == 0 ? first : g.clamp(start + count - 1);
    setCaretAndAnchor(last, first, count > 0 && !bytes_.empty());
}

void EditBuffer::setCaretAndAnchor(std::size_t caret, std::size_t anchor, bool selecting)
{
    if (caret == caret_ && anchor == anchor_ && selecting == selecting_) return;
    caret_ = caret;
    anchor_ = anchor;
    selecting_ = selecting;
    if (onSelectionChanged) onSelectionChanged();
}
