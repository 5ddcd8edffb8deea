// The document: one chip image for the whole run, and dump files written from the editor.
#include "session/Document.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> bytes)
{
    return bytes;
}
} // namespace

TEST(Document, OneTransferBlockForTheChipThatWorkersKeepAlive)
{
    Document document;
    const std::span<uint8_t> image = document.transfer();
    EXPECT_EQ(image.size(), 34603008u); // 32 MiB + 1 MiB before any chip
    EXPECT_EQ(document.transfer().data(), image.data());
    const std::shared_ptr<uint8_t[]> held = document.transferBlock();
    EXPECT_EQ(held.get(), image.data());
    EXPECT_GE(held.use_count(), 2); // a worker's copy keeps the block past the document's end

    // While a worker holds the block, a chip change must not move the image from under it.
    document.fitTransferToChip(64u << 20);
    EXPECT_EQ(document.transfer().data(), held.get());
}

TEST(Document, TheTransferBlockIsSizedForTheChipAndNoLarger)
{
    const std::pair<std::size_t, std::size_t> cases[] = {
        {0, 34603008},         {256, 34603008},
        {32u << 20, 34603008}, {(32u << 20) + 1, 34603009},
        {64u << 20, 68157440}, {std::size_t(1) << 40, Document::LargestTransfer}, // never past the largest chip
    };
    static_assert(Document::LargestTransfer == 68157440);
    for (const auto& [chip, size] : cases) {
        Document document;
        document.fitTransferToChip(chip);
        EXPECT_EQ(document.transfer().size(), size) << chip;
    }
}

TEST(Document, SaveWritesTheEditorAndClearsItsMarksOnlyWhenItSucceeds)
{
    QTemporaryDir dir;
    Document document;
    document.editor().load(Bytes({1, 2, 3, 4}));
    document.editor().writeByte(0, 0x99);
    ASSERT_TRUE(document.editor().modified());

    EXPECT_TRUE(document.saveEditor(dir.filePath("missing/dump.bin")));
    EXPECT_TRUE(document.editor().modified());
    EXPECT_TRUE(document.editor().isChanged(0));

    const QString path = dir.filePath("dump.bin");
    ASSERT_FALSE(document.saveEditor(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("\x99\x02\x03\x04", 4));
    EXPECT_FALSE(document.editor().modified());
    EXPECT_FALSE(document.editor().isChanged(0));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"dump.bin"}); // no temporary file left
}

TEST(Document, TheEditorTakesAWriteOnlyWhenItHoldsTheWholeChip)
{
    Document document;
    document.StatusShadow.SR = {0x1C, 0x02, 0x60};
    document.showInEditor(Bytes({5, 6, 7}), true);
    EXPECT_EQ(std::vector<uint8_t>(document.bytes().begin(), document.bytes().end()),
              Bytes({5, 6, 7, 0x1C, 0x02, 0x60}));

    EXPECT_TRUE(document.copyEditorToTransfer(6));
    EXPECT_EQ(document.transfer()[3], 0x1C);
    document.transfer()[6] = 0xAB;
    EXPECT_FALSE(document.copyEditorToTransfer(7)); // past the editor the image would be stale
    EXPECT_EQ(document.transfer()[6], 0xAB);
}
