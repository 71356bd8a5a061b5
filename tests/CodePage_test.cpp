#include "engine/CodePage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using engine::AnsiToOemText;
using engine::kCodePageTable;
using engine::LosesCharactersInOem;
using engine::OemToAnsiText;

// Guards the table itself: a typo in one pair would make two letters collide.
TEST(CodePageTest, TableHasDistinctBytesOnBothSides) {
    std::set<unsigned char> oem, ansi;
    for (const auto& pair : kCodePageTable) {
        EXPECT_GT(pair.oem, 128);
        EXPECT_GT(pair.ansi, 128);
        oem.insert(pair.oem);
        ansi.insert(pair.ansi);
    }
    EXPECT_EQ(oem.size(), 28u);
    EXPECT_EQ(ansi.size(), 28u);
    EXPECT_EQ(kCodePageTable[3].oem, 132); // ä
    EXPECT_EQ(kCodePageTable[3].ansi, 228);
}

// Guards the conversion rule: low bytes and 128 pass, table letters convert, the rest vanish.
TEST(CodePageTest, AnsiToOem) {
    const struct {
        const char* what;
        std::string ansi;
        std::string oem;
    } rows[] = {
        {"Kesä", "Kes\xE4", "Kes\x84"},
        {"Päivä, both ä", "P\xE4iv\xE4", "P\x84iv\x84"},
        {"Ñandú: Ñ dropped, ú converted",
         "\xD1"
         "and\xFA",
         "and\xA3"},
        {"ß and ø vanish",
         "a\xDF"
         "b\xF8",
         "ab"},
        {"128 passes unconverted", "\x80", "\x80"},
        {"ASCII unchanged", "C:\\Video\\clip 01.avi", "C:\\Video\\clip 01.avi"},
        {"empty", "", ""},
        {"Å and å", "\xC5\xE5", "\x8F\x86"},
        {"ö and ü, by the table's own pairs", "\xF6\xFC", "\x94\x81"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AnsiToOemText(row.ansi), row.oem) << row.what;
}

// Guards the round trip over every letter of the table and the loss of the others.
TEST(CodePageTest, RoundTrip) {
    std::string everyLetter;
    for (const auto& pair : kCodePageTable)
        everyLetter += static_cast<char>(pair.ansi);
    EXPECT_EQ(OemToAnsiText(AnsiToOemText(everyLetter)), everyLetter);
    EXPECT_FALSE(LosesCharactersInOem(everyLetter));

    const std::string withLost = "C:\\Ohjelmat\\Kron\xF8lo\\";
    EXPECT_TRUE(LosesCharactersInOem(withLost));
    EXPECT_EQ(OemToAnsiText(AnsiToOemText(withLost)), "C:\\Ohjelmat\\Kronlo\\");
}

// Guards the test that tells a UTF-8 line or settings file from one in a single-byte code page.
TEST(CodePageTest, IsUtf8) {
    const struct {
        const char* what;
        std::string text;
        bool utf8;
    } rows[] = {
        {"ASCII", "clip 01.avi", true},
        {"Finnish and Cyrillic", "Kes\xC3\xA4 \xD0\x96", true},
        {"four bytes: an emoji", "\xF0\x9F\x8E\xAC clip", true},
        {"a lone surrogate a name may hold", "\xED\xA0\x80", true},
        {"code page 850's ä", "Kes\x84", false},
        {"code page 1252's ä before a letter", "Kes\xE4.avi", false},
        {"cut short at the end", "Kes\xC3", false},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(engine::IsUtf8(row.text), row.utf8) << row.what;
}

} // namespace
