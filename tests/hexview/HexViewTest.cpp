#include "ui/hexview/HexView.h"
#include "ui/hexview/HexFillBox.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {
constexpr std::size_t k33MiB = 34'603'008;

struct HexViewTest : ::testing::Test {
    HexView view;

    void SetUp() override
    {
        view.resize(760, 420);
        view.show(); // geometry and drop sites exist only for a shown widget
    }
    Bytes contents() const { return Bytes(view.bytes().begin(), view.bytes().end()); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&view, key, modifiers);
    }
    static int countPixels(const QImage& image, QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
        return n;
    }
};
} // namespace

TEST_F(HexViewTest, TypingEditsTheCaretByteMarksItAndUndoesAsOneStep)
{
    struct Case {
        const char* name;
        bool textArea;
        const char* keys;
        Bytes bytes;
        std::size_t caret;
    };
    const Case cases[] = {
        {"two digits", false, "a5", {0xA5, 0xFF, 0xFF}, 1},
        {"one digit keeps the low nibble", false, "3", {0x3F, 0xFF, 0xFF}, 0},
        {"non-hex keys do nothing", false, "xz", {0xFF, 0xFF, 0xFF}, 0},
        {"characters", true, "Hi", {'H', 'i', 0xFF}, 2},
        {"last byte keeps the caret", true, "abcd", {'a', 'b', 'd'}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.load(Bytes{0xFF, 0xFF, 0xFF});
        view.setSelection(0, 0);
        if ((view.activeArea() == HexView::Area::Text) != c.textArea) press(Qt::Key_Tab);
        QSignalSpy changed(&view, &HexView::changed);
        QTest::keyClicks(&view, QString::fromLatin1(c.keys));
        EXPECT_EQ(contents(), c.bytes);
        EXPECT_EQ(view.caretOffset(), c.caret);
        EXPECT_EQ(view.isModified(), contents() != Bytes(3, 0xFF));
        EXPECT_EQ(view.buffer().isChanged(0), contents()[0] != 0xFF);
        if (!c.textArea && view.isModified()) {
            view.undo(); // both nibbles of a typed byte go back together
            EXPECT_EQ(contents(), Bytes(3, 0xFF));
            EXPECT_FALSE(view.buffer().isChanged(0));
        }
        EXPECT_GE(changed.count(), view.isModified() ? 1 : 0);
    }
}

TEST_F(HexViewTest, ReadOnlyRefusesTypingUndoAndDrops)
{
    view.load(Bytes{0x00, 0x11});
    QTest::keyClicks(&view, QStringLiteral("7"));
    view.setReadOnly(true);
    QTest::keyClicks(&view, QStringLiteral("ff"));
    view.undo();
    EXPECT_EQ(contents(), (Bytes{0x70, 0x11}));

    QSignalSpy dropped(&view, &HexView::filesDropped);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/dump.bin"))});
    const QPointF at(100, 100);
    for (bool readOnly : {true, false}) {
        view.setReadOnly(readOnly);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &drop);
    }
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList{QStringLiteral("/tmp/dump.bin")});
}

TEST_F(HexViewTest, EditsABufferItDoesNotOwnAndFollowsItsSave)
{
    EditBuffer document;
    document.load(Bytes{1, 2, 3, 4});
    view.setBuffer(&document);
    EXPECT_EQ(view.size(), 4u);
    QTest::keyClicks(&view, QStringLiteral("99"));
    EXPECT_EQ(document.at(0), 0x99);
    ASSERT_TRUE(document.modified());

    QSignalSpy changed(&view, &HexView::changed);
    QSignalSpy modified(&view, &HexView::modifiedChanged);
    document.markSaved();
    EXPECT_FALSE(view.isModified());
    EXPECT_FALSE(view.buffer().isChanged(0));
    EXPECT_EQ(changed.count(), 0); // a save changes no byte
    ASSERT_EQ(modified.count(), 1);
    EXPECT_FALSE(modified.at(0).at(0).toBool());
}

TEST_F(HexViewTest, FillBoxFiltersKeysAndReportsTheValue)
{
    QSignalSpy requested(&view, &HexView::fillRequested);
    struct Case {
        const char* keys;
        int value;
    };
    const Case cases[] = {{"a", 0x0A}, {"", -1}, {"7g", 0x07}, {"c3e", 0xC3}};
    for (const Case& c : cases) {
        view.showFillBox();
        QLineEdit* field = view.fillBox()->EFill();
        QTest::keyClicks(field, QString::fromLatin1(c.keys));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(view.fillBox()->isHidden());
        ASSERT_EQ(requested.count(), 1) << c.keys;
        EXPECT_EQ(requested.takeFirst().at(0).toInt(), c.value) << c.keys;
    }
    view.showFillBox();
    QTest::keyClick(view.fillBox()->EFill(), Qt::Key_Escape);
    EXPECT_TRUE(view.fillBox()->isHidden());
    EXPECT_EQ(requested.count(), 0);
}

TEST_F(HexViewTest, PaintsTheEndOfA33MiBBuffer)
{
    view.load(Bytes(k33MiB, 0x00));
    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.caretOffset(), k33MiB - 1);
    EXPECT_EQ(view.offsetText(view.caretOffset()), QStringLiteral("0x020FFFFF"));
    EXPECT_EQ(view.verticalScrollBar()->maximum() + view.verticalScrollBar()->pageStep(), int(k33MiB / 16));
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());

    QTest::keyClicks(&view, QStringLiteral("4"));
    const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The typed byte on the last row is drawn on its light yellow background.
    EXPECT_GT(countPixels(image, qRgb(255, 255, 168)), 0);
}

TEST_F(HexViewTest, CopyAndPasteThroughTheClipboard)
{
    view.load(Bytes{0x00, 0x41, 0x42, 0xFF, 0x10, 0x20});
    view.setSelection(1, 3);
    press(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    EXPECT_EQ(copied->text(), "41 42 FF");
    EXPECT_EQ(copied->data("application/octet-stream"), QByteArray("\x41\x42\xFF", 3));

    // The raw bytes come back exactly, over the bytes from the caret on, cut at the end.
    view.setSelection(4, 4);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(contents(), (Bytes{0x00, 0x41, 0x42, 0xFF, 0x41, 0x42}));
    EXPECT_EQ(view.size(), 6u);

    // Plain hex text from another program.
    QApplication::clipboard()->setText("de ad");
    view.setSelection(0, 0);
    view.paste();
    EXPECT_EQ(contents(), (Bytes{0xDE, 0xAD, 0x42, 0xFF, 0x41, 0x42}));
    view.undo();
    EXPECT_EQ(contents(), (Bytes{0x00, 0x41, 0x42, 0xFF, 0x41, 0x42}));

    view.setReadOnly(true); // an operation is running
    view.paste();
    EXPECT_EQ(contents()[0], 0x00);
}
