#include "buffer/edit/ClipboardBytes.h"
#include "buffer/edit/EditBuffer.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(ClipboardBytes, CopyTextByColumn)
{
    const Bytes bytes{0x0A, 0x41, 0xFF, 0x7E};
    EXPECT_EQ(CopyText(bytes, true), "0A 41 FF 7E");
    EXPECT_EQ(CopyText(bytes, false), ".A.~");
    EXPECT_EQ(CopyText({}, true), "");
}

TEST(ClipboardBytes, HexTextReadsGroupsOfPairs)
{
    struct Case {
        const char* text;
        std::optional<Bytes> bytes;
    } const cases[] = {
        {"0A 41 FF", Bytes{0x0A, 0x41, 0xFF}},
        {"a55a\r\n0102", Bytes{0xA5, 0x5A, 0x01, 0x02}},
        {"0x0A, 0xff,0X10", Bytes{0x0A, 0xFF, 0x10}},
        {"  7f  ", Bytes{0x7F}},
        {"A5A", std::nullopt}, // an odd digit
        {"0A 4", std::nullopt},
        {"12 G4", std::nullopt}, // not hexadecimal
        {"hello", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {" , ", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseHexText(c.text), c.bytes) << c.text;
}

TEST(ClipboardBytes, WhatAPasteWrites)
{
    const Bytes raw{0x00, 0x0A, 0xFF};
    // Raw bytes win over any text.
    EXPECT_EQ(BytesToPaste(std::span<const std::uint8_t>(raw), U"41 42", true), raw);
    // Hex text in the hex column; its characters in the character column.
    EXPECT_EQ(BytesToPaste(std::nullopt, U"41 42", true), (Bytes{0x41, 0x42}));
    EXPECT_EQ(BytesToPaste(std::nullopt, U"41 42", false), (Bytes{'4', '1', ' ', '4', '2'}));
    // Text that is no hex text goes in as characters, Cyrillic as Windows-1251.
    EXPECT_EQ(BytesToPaste(std::nullopt, U"Hi!", true), (Bytes{'H', 'i', '!'}));
    EXPECT_EQ(BytesToPaste(std::nullopt, U"Да 41", true), (Bytes{0xC4, 0xE0, ' ', '4', '1'}));
}

TEST(ClipboardBytes, PasteOverwritesFromTheCaretCutAtTheEndAsOneUndoStep)
{
    EditBuffer buffer;
    buffer.load(Bytes(8, 0xFF));
    buffer.moveCaret(6);
    EXPECT_EQ(PasteOver(buffer, Bytes{1, 2, 3, 4}), 2u);
    EXPECT_EQ(Bytes(buffer.bytes().begin(), buffer.bytes().end()), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}));
    EXPECT_EQ(buffer.size(), 8u); // never grows
    EXPECT_EQ(buffer.caret(), 7u);

    // With a selection the paste starts at its lower end, whichever end the caret is at.
    buffer.setSelection(3, 1);
    EXPECT_EQ(PasteOver(buffer, Bytes{9, 9}), 2u);
    EXPECT_EQ(buffer.at(1), 9);
    EXPECT_EQ(buffer.at(2), 9);
    EXPECT_EQ(buffer.caret(), 3u);
    EXPECT_TRUE(buffer.isChanged(1));

    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(buffer.at(1), 0xFF);
    EXPECT_EQ(buffer.at(2), 0xFF);
    EXPECT_EQ(buffer.at(6), 1); // the first paste is its own step
    ASSERT_TRUE(buffer.undo());
    EXPECT_FALSE(buffer.modified());

    EXPECT_EQ(PasteOver(buffer, {}), 0u);
    EditBuffer empty;
    EXPECT_EQ(PasteOver(empty, Bytes{1}), 0u);
}
