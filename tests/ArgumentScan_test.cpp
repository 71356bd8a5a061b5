#include "stamp/ArgumentScan.h"

#include <gtest/gtest.h>

namespace {

using stamp::ArgumentRules;
using stamp::ScanArguments;
using stamp::ScanFault;
using stamp::SystemTime;

SystemTime Start() {
    SystemTime now;
    now.year = 2026;
    now.month = 12;
    now.dayOfWeek = 1;
    now.day = 7;
    now.hour = 20;
    now.minute = 30;
    now.second = 15;
    now.millisecond = 123;
    return now;
}

constexpr ArgumentRules kPosix = ArgumentRules::Posix;
constexpr ArgumentRules kWindows = ArgumentRules::Windows;

// Guards the scan's positional rules, the switch comparison and the first-fault rule, which both
// systems share.
TEST(ArgumentScanTest, Faults) {
    const struct {
        const char* what;
        std::vector<std::string> args;
        ScanFault fault;
    } rows[] = {
        {"unknown switch last", {"/X"}, ScanFault::InvalidSwitch},
        {"mask not last", {"clip01.wmv", "/C"}, ScanFault::InvalidSwitch},
        {"dash is no switch but not last", {"-C", "x"}, ScanFault::InvalidSwitch},
        {"glued switches", {"/W/C", "x"}, ScanFault::InvalidSwitch},
        {"fault wins over help", {"/?", "/X"}, ScanFault::InvalidSwitch},
        {"date switch last", {"/D"}, ScanFault::DateMissing},
        {"time switch last", {"/C", "/T"}, ScanFault::TimeMissing},
        {"switch taken as date", {"/D", "/C"}, ScanFault::BadDate},
        {"first fault ends the scan", {"/T", "1", "/X", "y"}, ScanFault::BadTime},
        {"value never the mask", {"/D", "02-17-2005"}, ScanFault::None},
        {"guard switch last", {"/IF"}, ScanFault::DateMissing},
        {"guard without its time", {"/C", "/IF", "02-17-2005"}, ScanFault::TimeMissing},
        {"guard's date bad", {"/IF", "17.02.2005", "14:03:09", "x"}, ScanFault::BadDate},
        {"guard's time bad", {"/IF", "02-17-2005", "14-03-09", "x"}, ScanFault::BadTime},
        {"guard's time is no switch", {"/IF", "02-17-2005", "/C", "x"}, ScanFault::BadTime},
        {"guard in small letters", {"/if", "02-17-2005", "14:03:09", "x"}, ScanFault::None},
        {"guard's values never the mask", {"/IF", "02-17-2005", "14:03:09"}, ScanFault::None},
        {"guard word cut short", {"/I", "x"}, ScanFault::InvalidSwitch},
        {"guard word run on", {"/IFF", "02-17-2005", "14:03:09", "x"}, ScanFault::InvalidSwitch},
    };
    for (const auto& row : rows)
        for (const ArgumentRules rules : {kPosix, kWindows})
            EXPECT_EQ(ScanArguments(row.args, Start(), rules).fault, row.fault)
                << row.what << (rules == kPosix ? " (POSIX)" : " (Windows)");
}

// Guards the faults where the systems part: on POSIX only a one-part word as the last argument
// is a switch, "--" ends the switches; Windows keeps to switches wherever an argument has a "/".
TEST(ArgumentScanTest, SystemFaults) {
    const struct {
        const char* what;
        ArgumentRules rules;
        std::vector<std::string> args;
        ScanFault fault;
    } rows[] = {
        {"one-part word stays a switch", kPosix, {"/X"}, ScanFault::InvalidSwitch},
        {"glued letters stay a switch", kPosix, {"/Cx"}, ScanFault::InvalidSwitch},
        {"root alone is no path", kPosix, {"/"}, ScanFault::InvalidSwitch},
        {"path not last", kPosix, {"/a/b", "x"}, ScanFault::InvalidSwitch},
        {"path after /D is its date", kPosix, {"/D", "/a/b"}, ScanFault::BadDate},
        {"path after /IF's date is its time",
         kPosix,
         {"/IF", "02-17-2005", "/a/b"},
         ScanFault::BadTime},
        {"two after double dash", kPosix, {"--", "a", "b"}, ScanFault::InvalidSwitch},
        {"switch after double dash", kPosix, {"--", "/C", "x"}, ScanFault::InvalidSwitch},
        {"double dash as /T's value", kPosix, {"/T", "--", "x"}, ScanFault::BadTime},
        {"fault wins over help word", kPosix, {"--help", "/X"}, ScanFault::InvalidSwitch},
        {"help word run on not last", kPosix, {"--helpx", "x"}, ScanFault::InvalidSwitch},
        {"Windows: path last", kWindows, {"/a/b"}, ScanFault::InvalidSwitch},
        {"Windows: long path last",
         kWindows,
         {"/W", "/home/me/clips/a.mp4"},
         ScanFault::InvalidSwitch},
        {"Windows: no end of switches", kWindows, {"--", "/a/b"}, ScanFault::InvalidSwitch},
        {"Windows: help word not last", kWindows, {"--help", "x"}, ScanFault::InvalidSwitch},
        {"Windows: version word not last", kWindows, {"--version", "x"}, ScanFault::InvalidSwitch},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScanArguments(row.args, Start(), row.rules).fault, row.fault) << row.what;
}

// Guards the masks where the systems part: on POSIX an absolute path as the last argument and
// the last after "--"; on Windows "--" and the long words are names like any other.
TEST(ArgumentScanTest, SystemMasks) {
    const struct {
        const char* what;
        ArgumentRules rules;
        std::vector<std::string> args;
        const char* mask;
    } rows[] = {
        {"absolute path last",
         kPosix,
         {"/W", "/D", "02-17-2005", "/T", "14:03:09", "/home/me/clips/a.mp4"},
         "/home/me/clips/a.mp4"},
        {"two-part path alone", kPosix, {"/a/b"}, "/a/b"},
        {"folder path with its slash", kPosix, {"/a/"}, "/a/"},
        {"glued switches last are a path", kPosix, {"/W/C"}, "/W/C"},
        {"known switch last", kPosix, {"/C"}, "*.*"},
        {"double dash ends the switches", kPosix, {"/W", "--", "/W"}, "/W"},
        {"double dash before a dash name", kPosix, {"--", "-C"}, "-C"},
        {"double dash last", kPosix, {"/C", "--"}, ""},
        {"double dash alone", kPosix, {"--"}, ""},
        {"second double dash is the mask", kPosix, {"--", "--"}, "--"},
        {"help word after double dash", kPosix, {"--", "--help"}, "--help"},
        {"help word run on", kPosix, {"--helpx"}, "--helpx"},
        {"help word in capitals", kPosix, {"--HELP"}, "--HELP"},
        {"version word cut short", kPosix, {"--vers"}, "--vers"},
        {"Windows: double dash last", kWindows, {"--"}, "--"},
        {"Windows: help word", kWindows, {"--help"}, "--help"},
        {"Windows: version word", kWindows, {"--version"}, "--version"},
    };
    for (const auto& row : rows) {
        const auto result = ScanArguments(row.args, Start(), row.rules);
        EXPECT_EQ(result.fault, ScanFault::None) << row.what;
        EXPECT_EQ(result.request.fileMask, row.mask) << row.what;
        EXPECT_FALSE(result.request.showHelp || result.request.showVersion) << row.what;
    }
}

// Guards the long words on POSIX: each asks for its own text, and a mask stays a mask.
TEST(ArgumentScanTest, HelpAndVersionWords) {
    const auto help = ScanArguments({"--help", "x"}, Start(), kPosix);
    EXPECT_EQ(help.fault, ScanFault::None);
    EXPECT_TRUE(help.request.showHelp);
    EXPECT_FALSE(help.request.showVersion);
    EXPECT_EQ(help.request.fileMask, "x");

    const auto version = ScanArguments({"--version"}, Start(), kPosix);
    EXPECT_EQ(version.fault, ScanFault::None);
    EXPECT_TRUE(version.request.showVersion);
    EXPECT_FALSE(version.request.showHelp);
    EXPECT_EQ(version.request.fileMask, "*.*");
}

// Guards what a good command line asks for: flags, mask, the date and time it keeps or changes.
TEST(ArgumentScanTest, Requests) {
    const auto scan = [](std::vector<std::string> args) {
        const auto result = ScanArguments(args, Start());
        EXPECT_EQ(result.fault, ScanFault::None);
        return result.request;
    };

    const auto none = scan({});
    EXPECT_TRUE(none.showHelp) << "no argument at all shows help";
    EXPECT_EQ(none.fileMask, "*.*");

    const auto stampLine = scan({"/C", "/D", "02-17-2005", "/T", "14:03:09", "clip01.wmv"});
    EXPECT_TRUE(stampLine.setCreationTime);
    EXPECT_FALSE(stampLine.setLastAccessTime);
    EXPECT_FALSE(stampLine.showHelp);
    EXPECT_EQ(stampLine.fileMask, "clip01.wmv");
    const SystemTime t = stampLine.newDateTime;
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond}),
              (std::vector<int>{2005, 2, 17, 14, 3, 9, 0}));
    EXPECT_EQ(t.dayOfWeek, 1) << "the day of week keeps the start value";

    const auto dateOnly = scan({"/d", "02/17-20051", "/a", "/s", "/w", "x"});
    EXPECT_TRUE(dateOnly.setLastAccessTime);
    EXPECT_TRUE(dateOnly.includeFolders);
    EXPECT_EQ(dateOnly.newDateTime.year, 2005);
    EXPECT_EQ(dateOnly.newDateTime.hour, 20) << "without /T the start time stays";
    EXPECT_EQ(dateOnly.newDateTime.millisecond, 123) << "with its milliseconds";

    const auto maskStays = scan({"/C", "/D", "02-17-2005"});
    EXPECT_EQ(maskStays.fileMask, "*.*") << "a value after /D is never the mask";

    const auto later = scan({"/T", "01:02:03", "/T", "04:05:06.5", "x"});
    EXPECT_EQ(later.newDateTime.hour, 4) << "a later /T replaces an earlier one";
    EXPECT_EQ(later.newDateTime.second, 6);

    const auto unchecked = scan({"/D", "13-45-2005", "/T", "25:61:61", "x"});
    EXPECT_EQ(unchecked.newDateTime.month, 13) << "ranges are not checked by the scan";
    EXPECT_EQ(unchecked.newDateTime.minute, 61);

    EXPECT_FALSE(stampLine.ifLastWrite) << "no guard without /IF";
    const auto guarded = scan({"/If", "02-17-2005", "14:03:09", "/D", "03-01-2006", "x"});
    ASSERT_TRUE(guarded.ifLastWrite);
    const SystemTime g = *guarded.ifLastWrite;
    EXPECT_EQ((std::vector<int>{g.year, g.month, g.day, g.hour, g.minute, g.second, g.millisecond}),
              (std::vector<int>{2005, 2, 17, 14, 3, 9, 0}));
    EXPECT_EQ(guarded.newDateTime.year, 2006) << "the guard is no new date";
    EXPECT_EQ(guarded.newDateTime.hour, 20) << "nor a new time";
    EXPECT_EQ(guarded.fileMask, "x");

    EXPECT_EQ(scan({std::string(300, 'a')}).fileMask, std::string(259, 'a'));
    EXPECT_EQ(scan({"-C"}).fileMask, "-C");
}

// Guards the date and time syntax: exact digit positions, either date separator.
TEST(ArgumentScanTest, DateAndTimeSyntax) {
    const struct {
        const char* what;
        const char* date;
        bool good;
    } dates[] = {
        {"dashes", "02-17-2005", true},
        {"slashes", "02/17/2005", true},
        {"mixed", "02/17-2005", true},
        {"full stops", "02.17.2005", false},
        {"one-digit month", "2-17-2005", false},
        {"too short", "02-17-205", false},
        {"letter", "0a-17-2005", false},
        {"high byte is no digit",
         "\xd9"
         "2-17-2005",
         false},
    };
    for (const auto& row : dates) {
        const auto result = ScanArguments({"/D", row.date, "x"}, Start());
        EXPECT_EQ(result.fault == ScanFault::None, row.good) << row.what;
    }
    const struct {
        const char* what;
        const char* time;
        bool good;
    } times[] = {
        {"plain", "14:03:09", true},          {"trailing fraction", "14:03:09.5", true},
        {"one-digit hour", "9:03:09", false}, {"dashes", "14-03-09", false},
        {"too short", "14:03:0", false},
    };
    for (const auto& row : times) {
        const auto result = ScanArguments({"/T", row.time, "x"}, Start());
        EXPECT_EQ(result.fault == ScanFault::None, row.good) << row.what;
    }
}

} // namespace
