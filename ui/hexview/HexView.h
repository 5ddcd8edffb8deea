#pragma once

#include "buffer/edit/EditBuffer.h"
#include "buffer/edit/EditCommands.h"
#include "ui/hexview/HexViewLayout.h"
#include "ui/hexview/HexViewPainter.h"

#include <QAbstractScrollArea>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class HexFillBox;

// The hex view (HexEditor): shows and edits an EditBuffer 16 bytes a row, with an offset column,
// a ruler, hex and character cells, caret and selection, undo, a fill box, search and file drops.
// It paints only the rows on screen, so a 64 MiB buffer scrolls like a small one. The buffer
// belongs to the document; the view observes it and never writes files.
class HexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    using Area = HexViewLayout::Area;

    explicit HexView(QWidget* parent = nullptr);

    // The buffer to show and edit from now on (it must outlive the view); until then the view has
    // an empty buffer of its own.
    void setBuffer(EditBuffer* buffer);

    // Contents. load() replaces every byte, resets the undo history and change marks and reports
    // a change (changed()).
    void load(std::span<const std::uint8_t> bytes);
    std::size_t size() const { return buffer_->size(); }
    std::span<const std::uint8_t> bytes() const { return buffer_->bytes(); }
    std::size_t read(std::size_t offset, std::uint8_t* out, std::size_t count) const
    {
        return buffer_->read(offset, out, count);
    }
    const EditBuffer& buffer() const { return *buffer_; }
    bool isModified() const { return buffer_->modified(); }
    bool canUndo() const { return buffer_->canUndo(); }

    // Caret and selection; see EditBuffer for their rules.
    std::size_t caretOffset() const { return buffer_->caret(); }
    std::size_t selectionStart() const { return buffer_->selectionStart(); }
    std::size_t selectionEnd() const { return buffer_->selectionEnd(); }
    std::size_t selectionCount() const { return buffer_->selectionCount(); }
    void setSelection(std::size_t start, std::size_t end) { buffer_->setSelection(start, end); }
    void select(std::size_t start, std::size_t count) { buffer_->select(start, count); }
    Area activeArea() const { return state_.area; }

    // An offset as the view prints it: "0x" and upper-case hexadecimal digits.
    QString offsetText(std::size_t offset) const;

    // Searching: find() only looks; findNext() looks from just past the selection up to last and
    // selects the match (scrolling it into view). Both return the offset found or -1.
    std::int64_t find(std::span<const std::uint8_t> pattern, std::size_t first, std::size_t last,
                      bool ignoreCase = false) const
    {
        return buffer_->find(pattern, first, last, ignoreCase);
    }
    std::int64_t findNext(std::span<const std::uint8_t> pattern, std::size_t last);
    // The bytes a search field's text stands for in the given search kind.
    static std::vector<std::uint8_t> searchPattern(SearchKind kind, const QString& text);

    // While read-only the view refuses typing, undo, the fill box and drops; moving and
    // selecting still work.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }

    // The interface language changed: the hint follows it (the fill box reads it when it opens).
    void languageChanged();
    HexFillBox* fillBox() const { return fillBox_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void undo();
    void showFillBox();
    void selectAll();
    void copy();  // the selection (the caret's byte without one) as text and as raw bytes
    void paste(); // overwrites from the caret; see ClipboardBytes.h

signals:
    void changed();          // typing, undo, every load (not a save)
    void selectionChanged(); // caret or selection moved
    void modifiedChanged(bool modified);
    void filesDropped(const QStringList& paths);
    void fillRequested(int value); // from the fill box: 0-255, or -1 for an empty field

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void attachBuffer();
    void contentsChanged(std::size_t offset, std::size_t count);
    void caretMoved();
    void relayout();
    void updateScrollBar();
    int visibleRows() const;
    void ensureCaretVisible();
    void updateRows(std::size_t firstRow, std::size_t lastRow);
    bool moveByKey(QKeyEvent* event);
    bool typeKey(const QString& text);
    void placeCaretAt(const QPoint& position, bool extend, bool keepArea);
    std::size_t offsetAt(int y, int column) const;

    EditBuffer ownBuffer_;
    EditBuffer* buffer_ = &ownBuffer_;
    HexViewLayout layout_;
    HexViewPainter painter_;
    HexViewState state_;
    HexFillBox* fillBox_;
    int offsetDigits_ = 0;
    bool readOnly_ = false;
    bool dragging_ = false;
    bool joinNextNibble_ = false; // the high nibble of the caret byte was just typed
};
