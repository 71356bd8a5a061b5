#include "form/SettingsFile.h"

#include "platform/DirectorySearch.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using form::ApplySettings;
using form::ReadCheckState;
using form::ReadWholeNumber;

/// Records every setting applied, as "name=value".
class RecordingTarget final : public form::TSettingsTarget {
public:
    std::vector<std::string> applied;

    void SetFilterIndex(int v) override { Add("index", std::to_string(v)); }
    void SetFilterText(const std::string& v) override { Add("filter", v); }
    void SetSelectAll(bool v) override { Add("selectAll", v ? "1" : "0"); }
    void SetMakeReturnFile(bool v) override { Add("returnFile", v ? "1" : "0"); }
    void SetTargetPattern(const std::string& v) override { Add("target", v); }
    void SetLeftPaneWidth(int v) override { Add("pane", std::to_string(v)); }
    void SetLeft(int v) override { Add("left", std::to_string(v)); }
    void SetTop(int v) override { Add("top", std::to_string(v)); }
    void SetWidth(int v) override { Add("width", std::to_string(v)); }
    void SetHeight(int v) override { Add("height", std::to_string(v)); }

private:
    void Add(const char* name, const std::string& value) {
        applied.push_back(name + ("=" + value));
    }
};

const std::vector<std::string> kAllApplied = {
    "index=2",  "filter=*.avi", "selectAll=1", "returnFile=1", "target=*.wmv",
    "pane=217", "left=129",     "top=179",     "width=651",    "height=382"};

// Guards the default file byte for byte.
TEST(SettingsFileTest, DefaultFile) {
    EXPECT_EQ(form::FormatSettings({}),
              "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n");
    form::TSettings changed;
    changed.filterIndex = -1;
    changed.filterText = "*.mpg";
    changed.selectAll = false;
    changed.left = -8;
    EXPECT_EQ(form::FormatSettings(changed),
              "-1\r\n*.mpg\r\n0\r\n-1\r\n*.wmv\r\n217\r\n-8\r\n179\r\n651\r\n382\r\n");

    // The entry kept is the one chosen only while the box shows its text.
    EXPECT_EQ(form::SavedFilterIndex(2, "*.avi"), 2);
    EXPECT_EQ(form::SavedFilterIndex(2, "*.AVI"), -1) << "typed over the entry";
    EXPECT_EQ(form::SavedFilterIndex(-1, "*.avi"), -1);
    EXPECT_EQ(form::SavedFilterIndex(6, "*.avi"), -1) << "no such entry";
}

// Guards the filter and pattern lines with letters of every kind: each comes back as it was
// saved; on Windows one that fits the ANSI code page is written there, as before.
TEST(SettingsFileTest, TextLinesKeepEveryLetter) {
    const struct {
        const char* what;
        std::string text;
        std::string windowsLine;
    } rows[] = {
        {"ASCII", "*.avi", "*.avi"},
        {"Finnish", "Kes\xC3\xA4*.avi", "Kes\xE4*.avi"},
        {"apostrophe and dash of code page 1252", "caf\xC3\xA9\xE2\x80\x99s \xE2\x80\x93*",
         "caf\xE9\x92s \x96*"},
        {"Cyrillic: kept in UTF-8", "\xD0\x96\xD0\xB8*.avi", "\xD0\x96\xD0\xB8*.avi"},
    };
    for (const auto& row : rows) {
        form::TSettings settings;
        settings.filterText = row.text;
        settings.targetPattern = row.text;
        const std::string file = form::FormatSettings(settings);
#ifdef _WIN32
        EXPECT_EQ(file.substr(3, row.windowsLine.size() + 2), row.windowsLine + "\r\n") << row.what;
#else
        EXPECT_EQ(file.substr(3, row.text.size() + 2), row.text + "\r\n") << row.what;
#endif
        RecordingTarget target;
        EXPECT_EQ(ApplySettings(file, target), std::nullopt) << row.what;
        ASSERT_EQ(target.applied.size(), 10u) << row.what;
        EXPECT_EQ(target.applied[1], "filter=" + row.text) << row.what;
        EXPECT_EQ(target.applied[4], "target=" + row.text) << row.what;
    }
}

// Guards the whole-number rules: spaces before, sign, "$" and "0x"; nothing after.
TEST(SettingsFileTest, WholeNumbers) {
    const struct {
        const char* text;
        bool good;
        int value;
    } rows[] = {
        {"217", true, 217},
        {"  217", true, 217},
        {"-8", true, -8},
        {"+5", true, 5},
        {"$FF", true, 255},
        {"0x1f", true, 31},
        {"0X10", true, 16},
        {"-$10", true, -16},
        {"$FFFFFFFF", true, -1},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"217 ", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"12a", false, 0},
        {"1.0", false, 0},
        {"\t5", false, 0},
        {"$100000000", false, 0},
    };
    for (const auto& row : rows) {
        int value = 0;
        EXPECT_EQ(ReadWholeNumber(row.text, value), row.good) << "'" << row.text << "'";
        if (row.good) {
            EXPECT_EQ(value, row.value) << "'" << row.text << "'";
        }
    }
}

// Guards the check-box rules: numbers (zero is off) and True/False in any case.
TEST(SettingsFileTest, CheckStates) {
    const struct {
        const char* text;
        bool good;
        bool checked;
    } rows[] = {
        {"-1", true, true},     {"0", true, false},   {"5", true, true},     {"True", true, true},
        {"false", true, false}, {"TRUE", true, true}, {"0.0", true, false},  {"0.5", true, true},
        {"1e3", true, true},    {" 1", true, true},   {"yes", false, false}, {"", false, false},
        {"1 ", false, false},   {"1e", false, false}, {".", false, false},
    };
    for (const auto& row : rows) {
        bool checked = !row.checked;
        EXPECT_EQ(ReadCheckState(row.text, checked), row.good) << "'" << row.text << "'";
        if (row.good) {
            EXPECT_EQ(checked, row.checked) << "'" << row.text << "'";
        }
    }
}

// Guards the reading: every line break, lines applied until the first bad one, its message.
TEST(SettingsFileTest, ApplyStopsAtFirstBadLine) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> applied;
        std::optional<std::string> error;
    } rows[] = {
        {"CR LF", form::FormatSettings({}), kAllApplied, std::nullopt},
        {"LF only", "2\n*.avi\n-1\n-1\n*.wmv\n217\n129\n179\n651\n382\n", kAllApplied,
         std::nullopt},
        {"CR only", "2\r*.avi\r-1\r-1\r*.wmv\r217\r129\r179\r651\r382", kAllApplied, std::nullopt},
        {"lines after the tenth ignored", form::FormatSettings({}) + "junk\r\nmore\r\n",
         kAllApplied, std::nullopt},
        {"five lines: the empty sixth is a bad integer",
         "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n",
         {kAllApplied.begin(), kAllApplied.begin() + 5},
         "'' is not a valid integer value"},
        {"bad first line", "two\r\n", {}, "'two' is not a valid integer value"},
        {"bad check state",
         "-1\r\n*.mpg\r\nyes\r\n",
         {"index=-1", "filter=*.mpg"},
         "'yes' is not a valid boolean value"},
        {"trailing space in a number",
         "2\r\n*.avi\r\nTrue\r\nfalse\r\nx\r\n217 \r\n",
         {"index=2", "filter=*.avi", "selectAll=1", "returnFile=0", "target=x"},
         "'217 ' is not a valid integer value"},
        {"binary",
         std::string("\0\xff\x01", 3),
         {},
         std::string("'\0\xff\x01' is not a valid integer value", 34)},
        {"empty file", "", {}, "'' is not a valid integer value"},
    };
    for (const auto& row : rows) {
        RecordingTarget target;
        EXPECT_EQ(ApplySettings(row.text, target), row.error) << row.what;
        EXPECT_EQ(target.applied, row.applied) << row.what;
    }
}

// Guards a damaged file of 10 MB: read without trouble, quoted briefly in the message.
TEST(SettingsFileTest, HugeFile) {
    const std::string oneLine(10 * 1024 * 1024, '7');
    RecordingTarget target;
    const auto error = ApplySettings(oneLine, target);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "'" + std::string(200, '7') + "...' is not a valid integer value");
    EXPECT_TRUE(target.applied.empty());

    RecordingTarget tail;
    EXPECT_EQ(ApplySettings(form::FormatSettings({}) + std::string(10 * 1024 * 1024, 'x'), tail),
              std::nullopt);
    EXPECT_EQ(tail.applied, kAllApplied);

    // Reading stops after the tenth line, and keeps only the start of a long one.
    std::istringstream breaks(std::string(10 * 1024 * 1024, '\n'));
    EXPECT_EQ(form::ReadSettingsLines(breaks), std::vector<std::string>(10));
    EXPECT_EQ(breaks.tellg(), 10);
    std::istringstream longLine(oneLine + "\r\nsecond");
    const auto lines = form::ReadSettingsLines(longLine);
    EXPECT_EQ(lines[0].size(), form::kLongestSettingsLine);
    EXPECT_EQ(lines[1], "second");
}

} // namespace

namespace {

// Guards where the settings file lives: beside the program as the window's own, elsewhere in
// the user's configuration folder.
TEST(SettingsFileTest, WhereTheFileLives) {
    const std::string s(1, platform::FolderSeparators()[0]);
    const std::string config = s + "home" + s + "u" + s + ".config" + s + "Kronalo";
    const std::string installed = s + "lib" + s + "kronalo" + s;
    const struct {
        const char* what;
        std::string programFolder;
        bool writable;
        std::string path;
    } rows[] = {
        {"a copy in a folder of the user's", s + "home" + s + "u" + s + "kronalo" + s, true,
         s + "home" + s + "u" + s + "kronalo" + s + "Kronalo.dat"},
        {"an installed copy, even where writable", s + "usr" + installed, true,
         config + s + "Kronalo.dat"},
        {"a folder the user cannot write", s + "opt" + s + "kronalo" + s, false,
         config + s + "Kronalo.dat"},
        {"no program folder known", "", true, config + s + "Kronalo.dat"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(form::SettingsPath(row.programFolder, row.writable, installed, config), row.path)
            << row.what;
    EXPECT_EQ(form::SettingsPath(rows[1].programFolder, true, "", config),
              rows[1].programFolder + "Kronalo.dat")
        << "where no folder marks an installed copy";
}

} // namespace
