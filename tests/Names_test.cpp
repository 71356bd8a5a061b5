#include "engine/Names.h"

#include <gtest/gtest.h>

namespace {

using engine::LastPathComponent;
using engine::MakeTargetName;
using engine::ShownText;
using engine::StripExtension;

struct Row {
    const char* what;
    std::string input;
    std::string expected;
};

// Guards the separator search that must skip the last character unless it is the only one.
TEST(NamesTest, LastPathComponent) {
    const Row rows[] = {
        {"folder with a blank", "C:\\Video\\Kesä 2006", "Kesä 2006"},
        {"drive root", "C:\\", ""},
        {"trailing separator kept", "C:\\Video\\", "Video\\"},
        {"slash separates too", "a/b", "b"},
        {"plain folder", "D:\\Clips", "Clips"},
        {"empty", "", ""},
        {"lone separator", "\\", "\\"},
        {"lone slash", "/", "/"},
        {"no separator", "Clips", ""},
        {"posix folder", "/home/user/Videot", "Videot"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LastPathComponent(row.input), row.expected) << row.what;
}

// Guards the full-stop search: the last character is an extension separator only when alone.
TEST(NamesTest, StripExtension) {
    const Row rows[] = {
        {"one extension", "clip01.avi", "clip01"},
        {"last of several", "a.b.c", "a.b"},
        {"only an extension", ".avi", ""},
        {"no full stop", "README", "README"},
        {"full stop last", "name.", "name."},
        {"lone full stop", ".", ""},
        {"empty", "", ""},
        {"full stop in a folder-like name", "v1.2/x", "v1"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(StripExtension(row.input), row.expected) << row.what;
}

// Guards the asterisk replacement: every asterisk, untrimmed pattern, question mark kept.
TEST(NamesTest, MakeTargetName) {
    struct TargetRow {
        const char* what;
        std::string source;
        std::string pattern;
        std::string expected;
    };
    const TargetRow rows[] = {
        {"extension swap", "clip01.avi", "*.wmv", "clip01.wmv"},
        {"prefix", "clip01.avi", "KUVA_*.wmv", "KUVA_clip01.wmv"},
        {"two asterisks", "clip01.avi", "*_*.wmv", "clip01_clip01.wmv"},
        {"lone asterisk", "clip01.avi", "*", "clip01"},
        {"empty stem", ".avi", "*", ""},
        {"no asterisk gives the pattern", "clip01.avi", "kansi.jpg", "kansi.jpg"},
        {"empty pattern", "clip01.avi", "", ""},
        {"blanks stay", "clip01.avi", " *.wmv ", " clip01.wmv "},
        {"question mark stays", "clip01.avi", "*.wm?", "clip01.wm?"},
        {"case differs from source", "CLIP.AVI", "*.avi", "CLIP.avi"},
    };
    for (const TargetRow& row : rows)
        EXPECT_EQ(MakeTargetName(row.source, row.pattern), row.expected) << row.what;
}

// Guards the names as shown: nothing in a name can reorder its line or start another, and
// everything else, letters of any script among them, stays as it is.
TEST(NamesTest, ShownText) {
    const Row rows[] = {
        {"plain name", "clip01.avi", "clip01.avi"},
        {"letters of other scripts stay", "café – Ωμέγα 日本 😀.avi", "café – Ωμέγα 日本 😀.avi"},
        {"Arabic and Hebrew letters stay", "عربي עברית.avi", "عربي עברית.avi"},
        {"right-to-left override", "a\u202Eiva.exe", "a<U+202E>iva.exe"},
        {"every embedding, override and isolate",
         "\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069",
         "<U+202A><U+202B><U+202C><U+202D><U+2066><U+2067><U+2068><U+2069>"},
        {"marks", "\u200E\u200F\u061C", "<U+200E><U+200F><U+061C>"},
        {"line feed", "a.avi -> b.wmv\nc.avi", "a.avi -> b.wmv<U+000A>c.avi"},
        {"carriage return and tab", "a\rb\tc", "a<U+000D>b<U+0009>c"},
        {"nul and escape", std::string("a\0b\x1B", 4), "a<U+0000>b<U+001B>"},
        {"delete", "a\x7F", "a<U+007F>"},
        {"C1 next line", "a\u0085b", "a<U+0085>b"},
        {"line and paragraph separators", "a\u2028b\u2029", "a<U+2028>b<U+2029>"},
        {"byte outside UTF-8", "a\xFF.avi", "a<0xFF>.avi"},
        {"Latin-1 letter, not UTF-8", "caf\xE9.avi", "caf<0xE9>.avi"},
        {"cut short at the end", "a\xE2\x80", "a<0xE2><0x80>"},
        {"overlong slash", "\xC0\xAF", "<0xC0><0xAF>"},
        {"lone surrogate", "a\xED\xA0\x80", "a<U+D800>"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "<0xF4><0x90><0x80><0x80>"},
        {"empty", "", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShownText(row.input), row.expected) << row.what;
}

} // namespace
