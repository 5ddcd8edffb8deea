#include "ui/hexview/HexView.h"

#include "buffer/edit/ClipboardBytes.h"

#include "ui/hexview/HexFillBox.h"
#include "ui/hexview/HexViewTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

namespace {
// Courier New 9 pt where it exists, else the system's fixed-pitch font: the cells only line up
// when every character has the same advance.
QFont defaultFont()
{
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}
} // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent), fillBox_(new HexFillBox(viewport()))
{
    setObjectName(QStringLiteral("HexEditor"));
    setFont(defaultFont());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    attachBuffer();
    connect(fillBox_, &HexFillBox::fillRequested, this, [this](int value) {
        setFocus();
        emit fillRequested(value);
    });
    languageChanged();
    relayout();
}

void HexView::setBuffer(EditBuffer* buffer)
{
    buffer_->onContentsChanged = nullptr;
    buffer_->onModifiedChanged = nullptr;
    buffer_->onSelectionChanged = nullptr;
    buffer_ = buffer;
    attachBuffer();
    contentsChanged(0, buffer_->size());
}

void HexView::attachBuffer()
{
    buffer_->onContentsChanged = [this](std::size_t offset, std::size_t count) { contentsChanged(offset, count); };
    buffer_->onModifiedChanged = [this](bool modified) {
        viewport()->update(); // a save clears the change marks without changing a byte
        emit modifiedChanged(modified);
    };
    buffer_->onSelectionChanged = [this] { caretMoved(); };
}

void HexView::load(std::span<const std::uint8_t> bytes)
{
    buffer_->load(bytes);
}

QString HexView::offsetText(std::size_t offset) const
{
    return QString::fromStdString(buffer_->grid().offsetText(offset));
}

std::int64_t HexView::findNext(std::span<const std::uint8_t> pattern, std::size_t last)
{
    return buffer_->findNext(pattern, last);
}

std::vector<std::uint8_t> HexView::searchPattern(SearchKind kind, const QString& text)
{
    return kind == SearchKind::Hex ? HexPattern(text.toStdString()) : TextPattern(text.toStdU32String());
}

void HexView::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    joinNextNibble_ = false;
    if (readOnly) fillBox_->hide();
}

void HexView::languageChanged()
{
    viewport()->setToolTip(HexEditorHint());
}

QSize HexView::sizeHint() const
{
    const int frame = 2 * frameWidth();
    return {layout_.width() + verticalScrollBar()->sizeHint().width() + frame,
            layout_.rulerHeight() + 24 * layout_.lineHeight() + frame};
}

QSize HexView::minimumSizeHint() const
{
    return {sizeHint().width(), layout_.rulerHeight() + 4 * layout_.lineHeight() + 2 * frameWidth()};
}

void HexView::undo()
{
    if (!readOnly_) buffer_->undo();
}

void HexView::showFillBox()
{
    if (readOnly_) return;
    fillBox_->open(FillBoxCaption());
    const int margin = int(layout_.charWidth() * 2);
    fillBox_->move(std::max(0, viewport()->width() - fillBox_->width() - margin), layout_.rulerHeight() + margin / 2);
}

void HexView::selectAll()
{
    buffer_->select(0, buffer_->size());
}

void HexView::copy()
{
    const std::size_t count = std::max<std::size_t>(buffer_->selectionCount(), buffer_->size() > 0 ? 1 : 0);
    const auto bytes = buffer_->bytes().subspan(buffer_->selectionStart(), count);
    auto* mime = new QMimeData;
    mime->setText(QString::fromLatin1(CopyText(bytes, state_.area == Area::Hex)));
    mime->setData(QStringLiteral("application/octet-stream"),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    QApplication::clipboard()->setMimeData(mime);
}

void HexView::paste()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (readOnly_ || !mime) return;
    const QByteArray raw = mime->data(QStringLiteral("application/octet-stream"));
    const auto rawBytes =
        mime->hasFormat(QStringLiteral("application/octet-stream"))
            ? std::optional(std::span(reinterpret_cast<const std::uint8_t*>(raw.constData()), std::size_t(raw.size())))
            : std::nullopt;
    PasteOver(*buffer_, BytesToPaste(rawBytes, mime->text().toStdU32String(), state_.area == Area::Hex));
}

void HexView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    state_.topRow = std::size_t(verticalScrollBar()->value());
    state_.focused = hasFocus();
    painter_.paint(painter, event->rect(), viewport()->width(), layout_, *buffer_, state_);
}

void HexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void HexView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void HexView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) relayout();
}

void HexView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void HexView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void HexView::contentsChanged(std::size_t offset, std::size_t count)
{
    if (offset == 0 && count == buffer_->size()) {
        // A load: the size, and with it the offset width and the row count, may have changed.
        joinNextNibble_ = false;
        relayout();
        viewport()->update();
    } else if (count > 0) {
        updateRows(HexGrid::rowOf(offset), HexGrid::rowOf(offset + count - 1));
    }
    emit changed();
}

void HexView::caretMoved()
{
    state_.nibble = 0;
    joinNextNibble_ = false;
    ensureCaretVisible();
    viewport()->update();
    emit selectionChanged();
}

void HexView::relayout()
{
    offsetDigits_ = buffer_->grid().offsetDigits();
    layout_.update(font(), offsetDigits_);
    updateGeometry();
    updateScrollBar();
    viewport()->update();
}

int HexView::visibleRows() const
{
    return std::max(1, (viewport()->height() - layout_.rulerHeight()) / layout_.lineHeight());
}

void HexView::updateScrollBar()
{
    // One scroll step is one row; the 65 MiB of the largest chip are about 4.3 million rows, well
    // inside an int.
    const int rows = int(buffer_->grid().rowCount());
    const int page = visibleRows();
    verticalScrollBar()->setRange(0, std::max(0, rows - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
}

void HexView::ensureCaretVisible()
{
    const int row = int(HexGrid::rowOf(buffer_->caret()));
    const int top = verticalScrollBar()->value();
    if (row < top)
        verticalScrollBar()->setValue(row);
    else if (row >= top + visibleRows())
        verticalScrollBar()->setValue(row - visibleRows() + 1);
}

void HexView::updateRows(std::size_t firstRow, std::size_t lastRow)
{
    const std::size_t top = std::size_t(verticalScrollBar()->value());
    const std::size_t bottom = top + std::size_t(visibleRows());
    if (lastRow < top || firstRow > bottom) return;
    const int first = int(std::max(firstRow, top) - top);
    const int last = int(std::min(lastRow, bottom) - top);
    viewport()->update(QRect(0, layout_.rowTop(first), viewport()->width(), (last - first + 1) * layout_.lineHeight()));
}

void HexView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!readOnly_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void HexView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!readOnly_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void HexView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    if (readOnly_ || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}
