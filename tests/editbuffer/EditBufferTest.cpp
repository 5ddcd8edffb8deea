#include "buffer/edit/EditBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {
// An EditBuffer with a recording listener.
struct Recorded : ::testing::Test {
    EditBuffer buffer;
    std::vector<std::pair<std::size_t, std::size_t>> changes;
    std::vector<bool> modifiedReports;
    int selectionReports = 0;

    void SetUp() override
    {
        buffer.onContentsChanged = [this](std::size_t offset, std::size_t count) {
            changes.emplace_back(offset, count);
        };
        buffer.onModifiedChanged = [this](bool m) { modifiedReports.push_back(m); };
        buffer.onSelectionChanged = [this] { ++selectionReports; };
    }
    void load(const Bytes& data) { buffer.load(data); }
    Bytes contents() const { return Bytes(buffer.bytes().begin(), buffer.bytes().end()); }
    std::vector<bool> marks() const
    {
        std::vector<bool> m;
        for (std::size_t i = 0; i < buffer.size(); ++i) m.push_back(buffer.isChanged(i));
        return m;
    }
};
Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}
} // namespace

TEST_F(Recorded, LoadReplacesEverythingAndResetsMarksAndHistory)
{
    load({1, 2, 3, 4});
    buffer.writeByte(1, 0xAA);
    ASSERT_TRUE(buffer.modified());
    changes.clear();
    modifiedReports.clear();

    load({9, 8});
    EXPECT_EQ(contents(), (Bytes{9, 8}));
    EXPECT_EQ(marks(), (std::vector<bool>{false, false}));
    EXPECT_FALSE(buffer.canUndo());
    EXPECT_FALSE(buffer.modified());
    EXPECT_EQ(changes, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}}));
    EXPECT_EQ(modifiedReports, std::vector<bool>{false});

    // A chip image with its status registers after it; then a part of the buffer itself.
    const Bytes registers{0x1C, 0x02, 0x60};
    load(Bytes(1000, 0x33));
    buffer.load(Bytes{1, 2, 3}, registers);
    EXPECT_EQ(contents(), (Bytes{1, 2, 3, 0x1C, 0x02, 0x60}));
    buffer.load(buffer.bytes().subspan(1, 4));
    EXPECT_EQ(contents(), (Bytes{2, 3, 0x1C, 0x02}));
}

TEST_F(Recorded, EditsMarkBytesAndUndoRestoresBytesAndMarksStepByStep)
{
    load(Bytes(8, 0xFF));
    buffer.writeByte(2, 0x1F);
    buffer.writeByte(2, 0x12, true); // second nibble of the same byte: same step
    buffer.writeBytes(4, Bytes{0xAB, 0xCD});
    buffer.fill(3, 3, 0x00); // overlaps the marked bytes 4 and 5
    EXPECT_EQ(contents(), (Bytes{0xFF, 0xFF, 0x12, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(marks(), (std::vector<bool>{0, 0, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(modifiedReports, std::vector<bool>{true});

    struct Expected {
        Bytes bytes;
        std::vector<bool> marks;
        bool modified;
    };
    const Expected afterEachUndo[] = {
        {{0xFF, 0xFF, 0x12, 0xFF, 0xAB, 0xCD, 0xFF, 0xFF}, {0, 0, 1, 0, 1, 1, 0, 0}, true},
        {{0xFF, 0xFF, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 1, 0, 0, 0, 0, 0}, true},
        {Bytes(8, 0xFF), std::vector<bool>(8, false), false},
    };
    for (const Expected& e : afterEachUndo) {
        ASSERT_TRUE(buffer.undo());
        EXPECT_EQ(contents(), e.bytes);
        EXPECT_EQ(marks(), e.marks);
        EXPECT_EQ(buffer.modified(), e.modified);
    }
    EXPECT_FALSE(buffer.undo());
    EXPECT_EQ(modifiedReports, (std::vector<bool>{true, false}));
}

TEST_F(Recorded, RepeatedWritesOfOneByteAreSeparateStepsUnlessJoined)
{
    load({0x00});
    buffer.writeByte(0, 0x10);
    buffer.writeByte(0, 0x20);
    buffer.undo();
    EXPECT_EQ(buffer.at(0), 0x10);
    EXPECT_TRUE(buffer.isChanged(0)); // still differs from the load
    buffer.undo();
    EXPECT_EQ(buffer.at(0), 0x00);
    EXPECT_FALSE(buffer.isChanged(0));
}

TEST_F(Recorded, EditsOutsideTheBufferAreRefused)
{
    load({1, 2, 3});
    EXPECT_FALSE(buffer.writeByte(3, 0));
    EXPECT_FALSE(buffer.writeBytes(2, Bytes{7, 7}));
    EXPECT_FALSE(buffer.fill(1, 3, 0));
    EXPECT_FALSE(buffer.fill(0, 0, 0));
    EXPECT_EQ(contents(), (Bytes{1, 2, 3}));
    EXPECT_FALSE(buffer.modified());
    EXPECT_EQ(changes.size(), 1u); // only the load
}

TEST_F(Recorded, SavingClearsMarksHistoryAndModifiedWithoutReportingAChangeOfBytes)
{
    load({1, 2, 3});
    buffer.writeByte(0, 5);
    changes.clear();
    buffer.markSaved();
    EXPECT_FALSE(buffer.modified());
    EXPECT_FALSE(buffer.canUndo());
    EXPECT_FALSE(buffer.isChanged(0));
    EXPECT_EQ(buffer.at(0), 5);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(modifiedReports, (std::vector<bool>{true, false}));
}

TEST_F(Recorded, SelectionFollowsStartEndAndCount)
{
    load(Bytes(64, 0));
    buffer.setSelection(10, 20);
    EXPECT_EQ(buffer.selectionStart(), 10u);
    EXPECT_EQ(buffer.selectionEnd(), 20u);
    EXPECT_EQ(buffer.selectionCount(), 11u);

    buffer.setSelection(30, 30); // equal ends only place the caret
    EXPECT_EQ(buffer.caret(), 30u);
    EXPECT_EQ(buffer.selectionStart(), 30u);
    EXPECT_EQ(buffer.selectionCount(), 0u);

    buffer.moveCaret(32, true);
    buffer.moveCaret(28, true); // extending backwards past the anchor
    EXPECT_EQ(buffer.selectionStart(), 28u);
    EXPECT_EQ(buffer.selectionEnd(), 30u);

    buffer.select(40, 1);
    EXPECT_EQ(buffer.selectionCount(), 1u);
    buffer.moveCaret(1000);
    EXPECT_EQ(buffer.caret(), 63u);
    EXPECT_FALSE(buffer.hasSelection());

    const int before = selectionReports;
    buffer.moveCaret(63);
    EXPECT_EQ(selectionReports, before); // nothing moved, nothing reported

    load(Bytes(16, 0)); // a shorter load pulls the caret onto its last byte
    EXPECT_EQ(buffer.caret(), 15u);
}

TEST_F(Recorded, FindNextWalksThroughMatchesAndKeepsTheLastOneWhenNothingFollows)
{
    //         0123456789
    load(bytesOf("a.a.a.abab"));
    const Bytes a{'a'};
    std::vector<std::int64_t> found;
    for (int i = 0; i < 7; ++i) found.push_back(buffer.findNext(a, buffer.size() - 1));
    EXPECT_EQ(found, (std::vector<std::int64_t>{0, 2, 4, 6, 8, -1, -1}));
    EXPECT_EQ(buffer.selectionStart(), 8u);
    EXPECT_EQ(buffer.selectionCount(), 1u);

    buffer.moveCaret(0);
    EXPECT_EQ(buffer.findNext(bytesOf("ab"), 8), 6); // the match must end at or before last
    EXPECT_EQ(buffer.findNext(bytesOf("ab"), 8), -1);
    EXPECT_EQ(buffer.selectionStart(), 6u);
    EXPECT_EQ(buffer.selectionEnd(), 7u);
}

TEST_F(Recorded, LoadingAPartOfItselfIsSafe)
{
    load({1, 2, 3, 4, 5});
    buffer.load(buffer.bytes().subspan(1, 3));
    EXPECT_EQ(contents(), (Bytes{2, 3, 4}));
}
