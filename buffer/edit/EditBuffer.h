#pragma once

#include "buffer/edit/ChangeMarks.h"
#include "buffer/edit/HexGrid.h"
#include "buffer/edit/UndoHistory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The bytes the hex view shows and edits: contents, a change mark per byte, the undo history,
// the modified state, the caret and the selection. Edits overwrite bytes in place; the size
// changes only by load().
class EditBuffer {
public:
    // Listeners (one each; the hex view attaches itself).
    std::function<void(std::size_t offset, std::size_t count)> onContentsChanged; // bytes or marks
    std::function<void(bool modified)> onModifiedChanged;
    std::function<void()> onSelectionChanged; // caret or selection moved

    // Replaces all bytes (a copy of data followed by tail), clears the marks and the history; not
    // modified. The caret keeps its offset where it still exists, the selection is dropped.
    void load(std::span<const std::uint8_t> data, std::span<const std::uint8_t> tail = {});

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::uint8_t at(std::size_t offset) const { return bytes_[offset]; }
    // Copies up to count bytes from offset into out; returns how many were copied.
    std::size_t read(std::size_t offset, std::uint8_t* out, std::size_t count) const;
    bool isChanged(std::size_t offset) const { return marks_.test(offset); }
    HexGrid grid() const { return HexGrid(bytes_.size()); }

    // Undoable edits. writeByte with joinStep folds a second write of the same byte into the
    // step that wrote it first (the two nibbles of one typed byte undo together).
    bool writeByte(std::size_t offset, std::uint8_t value, bool joinStep = false);
    bool writeBytes(std::size_t offset, std::span<const std::uint8_t> values);
    bool fill(std::size_t offset, std::size_t count, std::uint8_t value);
    bool canUndo() const { return !history_.empty(); }
    bool undo();

    // True once a byte was changed since the last load or save and not undone since.
    bool modified() const { return !history_.empty(); }
    // After the contents were saved: clear the marks, the history and the modified state. The
    // bytes did not change, so no change of contents is reported (the view repaints the marks).
    void markSaved();

    std::int64_t find(std::span<const std::uint8_t> pattern, std::size_t first, std::size_t last,
                      bool ignoreCase) const;
    // The search command: looks from just past the selection (from the caret without one) up to
    // last; a match becomes the selection, so searching again finds the next one. Returns the
    // offset found or -1, leaving the selection as it was.
    std::int64_t findNext(std::span<const std::uint8_t> pattern, std::size_t last);

    // Caret and selection. The selection is the inclusive range between the anchor and the caret
    // while one is active; without one, start and end are the caret and the count is 0.
    std::size_t caret() const { return caret_; }
    bool hasSelection() const { return selecting_; }
    std::size_t selectionStart() const { return selecting_ && anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t selectionEnd() const { return selecting_ && anchor_ > caret_ ? anchor_ : caret_; }
    std::size_t selectionCount() const { return selecting_ ? selectionEnd() - selectionStart() + 1 : 0; }
    bool isSelected(std::size_t offset) const
    {
        return selecting_ && offset >= selectionStart() && offset <= selectionEnd();
    }
    // Moves the caret; with extend the selection runs from the anchor (the caret before the
    // first extending move) to the new caret.
    void moveCaret(std::size_t offset, bool extend = false);
    // Selects start .. end; equal offsets only place the caret there.
    void setSelection(std::size_t start, std::size_t end);
    // Selects count bytes from start (a single byte too); count 0 only places the caret.
    void select(std::size_t start, std::size_t count);

private:
    void beginEdit(std::size_t offset, std::size_t count, bool joinStep);
    void finishEdit(std::size_t offset, std::size_t count, bool wasModified);
    void setCaretAndAnchor(std::size_t caret, std::size_t anchor, bool selecting);

    std::vector<std::uint8_t> bytes_;
    ChangeMarks marks_;
    UndoHistory history_;
    std::vector<std::uint8_t> scratchMarks_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    bool selecting_ = false;
};
