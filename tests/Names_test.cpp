#include "engine/Names.h"

#include <gtest/gtest.h>

namespace {

using engine::LastPathComponent;
using engine::MakeTargetName;
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

} // namespace
