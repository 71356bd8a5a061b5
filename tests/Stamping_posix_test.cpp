#include "platform/FileTimes.h"
#include "stamp/ArgumentScan.h"
#include "stamp/Stamping.h"
#include "stamp/Stamplet.h"
#include "stampreport/StampletText.h"
#include "tests/support/ProgramRun.h"

#include "ScopedTz.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using platform::FileTime;

constexpr FileTime kTicks = platform::kFileTimeTicksPerSecond;

/// Unix seconds as a file time.
constexpr FileTime At(long long unixSeconds) {
    return platform::kUnixEpochFileTime + static_cast<FileTime>(unixSeconds) * kTicks;
}

constexpr long long kOld = 946684800;         // 2000-01-01 00:00:00 UTC: every file starts here.
constexpr long long kFeb17_2005 = 1108649000; // 2005-02-17 14:03:20 UTC, used as "now" in winter.
constexpr long long kJul15_2025 = 1752580800; // 2025-07-15 12:00:00 UTC, used as "now" in summer.
constexpr long long kFeb17_2005_140309 = 1108648989; // 2005-02-17 14:03:09 UTC

class StringConsole final : public stamp::Console {
public:
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override { err += text; }
    std::string out, err;
};

platform::FileTimeSet TimesOf(const std::filesystem::path& file) {
    platform::FileTimeSet times;
    EXPECT_FALSE(platform::GetFileTimes(file.string(), times)) << file;
    return times;
}

/// A folder of files whose access and write times start at kOld, stamped under TZ=UTC with a
/// "now" the test chooses.
class StampingTest : public ::testing::Test {
protected:
    std::filesystem::path Make(const std::string& name) {
        const auto file = folder.Write(name, "data");
        bool ignored = false;
        platform::FileTimeChange old;
        old.lastAccess = At(kOld);
        old.lastWrite = At(kOld);
        EXPECT_FALSE(platform::SetFileTimes(file.string(), old, ignored));
        return file;
    }

    int Stamp(std::vector<std::string> args, long long nowMs = kFeb17_2005 * 1000LL + 456) {
        console = StringConsole();
        const stamp::SystemStampClock clock([nowMs] { return nowMs; });
        stamp::SystemTime now;
        EXPECT_TRUE(clock.LocalNow(now));
        const auto scan = stamp::ScanArguments(args, now);
        EXPECT_EQ(scan.fault, stamp::ScanFault::None);
        return stamp::StampEntries(scan.request, clock, console);
    }

    test::ScopedTz utc{"UTC"};
    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    StringConsole console;
};

// Guards the table of time slots: last write always, access and creation only when asked.
TEST_F(StampingTest, TimeSlots) {
    const struct {
        const char* what;
        std::vector<std::string> switches;
        bool access;
        bool creation;
    } rows[] = {
        {"no switch", {}, false, false},     {"/W only", {"/W"}, false, false},
        {"/C", {"/C"}, false, true},         {"/A", {"/A"}, true, false},
        {"/A /C", {"/A", "/C"}, true, true},
    };
    for (const auto& row : rows) {
        const auto file = Make("clip.wmv");
        const FileTime creationBefore = TimesOf(file).creation;
        std::vector<std::string> args = row.switches;
        args.insert(args.end(), {"/D", "02-17-2005", "/T", "14:03:09", "clip.wmv"});
        EXPECT_EQ(Stamp(args), 0) << row.what;

        const auto times = TimesOf(file);
        EXPECT_EQ(times.lastWrite, At(kFeb17_2005_140309)) << row.what;
        EXPECT_EQ(times.lastAccess, row.access ? At(kFeb17_2005_140309) : At(kOld)) << row.what;
        if (row.creation && console.err.empty()) {
            EXPECT_EQ(times.creation, At(kFeb17_2005_140309)) << row.what;
        } else {
            EXPECT_EQ(times.creation, creationBefore) << row.what;
        }
        // A file system without a settable creation time says so once, and only when asked.
        EXPECT_EQ(console.err.empty(), !row.creation || times.creation == At(kFeb17_2005_140309))
            << row.what;
        std::filesystem::remove(file);
    }
}

// Guards the note on creation times: one line per run, however many entries.
TEST_F(StampingTest, CreationNoteOncePerRun) {
    Make("a.wmv");
    Make("b.wmv");
    EXPECT_EQ(Stamp({"/C", "/D", "02-17-2005", "/T", "14:03:09", "*.wmv"}), 0);
    const std::size_t lines = std::count(console.err.begin(), console.err.end(), '\n');
    EXPECT_LE(lines, 1u);
    EXPECT_NE(console.out.find("File a.wmv date/time changed succesfully\n"), std::string::npos);
    EXPECT_NE(console.out.find("File b.wmv date/time changed succesfully\n"), std::string::npos);
}

// Guards the milliseconds: /T gives a whole second, its absence keeps the start's milliseconds.
TEST_F(StampingTest, MillisecondsOfTheStart) {
    const auto file = Make("clip.wmv");
    const long long now = kFeb17_2005 * 1000LL + 456;
    EXPECT_EQ(Stamp({"clip.wmv"}, now), 0);
    EXPECT_EQ(TimesOf(file).lastWrite, At(kFeb17_2005) + 456 * 10000);
    EXPECT_EQ(Stamp({"/T", "14:03:09", "clip.wmv"}, now), 0);
    EXPECT_EQ(TimesOf(file).lastWrite, At(kFeb17_2005_140309));
}

// Guards an absolute path as the mask: its own folder is searched, not the current one, and
// each entry is reported by its name alone.
TEST_F(StampingTest, AbsolutePathMask) {
    const auto file = Make("clip.wmv");
    std::filesystem::create_directory(folder.path() / "elsewhere");
    const auto decoy = Make("elsewhere/clip.wmv");
    test::CurrentFolder there{folder.path() / "elsewhere"};

    EXPECT_EQ(Stamp({"/W", "/D", "02-17-2005", "/T", "14:03:09", folder.str() + "/clip.wmv"}), 0);
    EXPECT_EQ(console.out, "New file date/time will be 17/02/2005  14:03:09\n"
                           "File clip.wmv date/time changed succesfully\n\n");
    EXPECT_EQ(TimesOf(file).lastWrite, At(kFeb17_2005_140309));
    EXPECT_EQ(TimesOf(decoy).lastWrite, At(kOld));
}

// Guards the skip rules: hidden entries and folders without /S are passed over silently; with
// /S a folder is stamped itself and nothing inside it is touched.
TEST_F(StampingTest, SkipsAndFolders) {
    const auto visible = Make("clip.wmv");
    const auto hidden = Make(".clip.wmv");
    std::filesystem::create_directory(folder.path() / "sub.wmv");
    const auto inner = Make("sub.wmv/inner.wmv");

    EXPECT_EQ(Stamp({"/D", "02-17-2005", "/T", "14:03:09", "*.wmv"}), 0);
    EXPECT_EQ(console.out, "New file date/time will be 17/02/2005  14:03:09\n"
                           "File clip.wmv date/time changed succesfully\n\n");
    EXPECT_EQ(TimesOf(hidden).lastWrite, At(kOld));

    EXPECT_EQ(Stamp({"/S", "/D", "02-17-2005", "/T", "14:03:09", "*.*"}), 0);
    EXPECT_NE(console.out.find("File sub.wmv date/time changed succesfully\n"), std::string::npos);
    EXPECT_EQ(console.out.find("File .\n"), std::string::npos);
    EXPECT_EQ(console.out.find(" .. "), std::string::npos);
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "sub.wmv"),
              std::filesystem::last_write_time(visible));
    EXPECT_EQ(TimesOf(inner).lastWrite, At(kOld)) << "Stamplet never descends into a folder";
    EXPECT_EQ(TimesOf(hidden).lastWrite, At(kOld));
}

// Guards the refusals that keep the loop going: a read-only file (refused even for root) and a
// path longer than the platform's limit each get their line, the others are stamped, status 0.
TEST_F(StampingTest, RefusedEntriesDoNotStopTheOthers) {
    const auto readOnly = Make("a.txt");
    const auto fine = Make("b.txt");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    EXPECT_EQ(Stamp({"/D", "02-17-2005", "/T", "14:03:09", "*.txt"}), 0);
    EXPECT_NE(console.out.find("Cannot change date/time of a.txt -- file ignored\n"),
              std::string::npos);
    EXPECT_NE(console.out.find("File b.txt date/time changed succesfully\n"), std::string::npos);
    EXPECT_EQ(TimesOf(readOnly).lastWrite, At(kOld));
    EXPECT_EQ(TimesOf(fine).lastWrite, At(kFeb17_2005_140309));

    const std::string deep(200, 'd');
    std::filesystem::create_directory(folder.path() / deep);
    const std::string longName = std::string(70, 'f') + ".txt";
    const auto far = Make(deep + "/" + longName);
    EXPECT_EQ(Stamp({"/D", "02-17-2005", "/T", "14:03:09", deep + "/*.txt"}), 0);
    EXPECT_EQ(console.out, "New file date/time will be 17/02/2005  14:03:09\n"
                           "Cannot change date/time of " +
                               longName + " -- file ignored\n\n");
    EXPECT_EQ(TimesOf(far).lastWrite, At(kOld));
}

// Guards the daylight-saving rule: the offset in force now makes the UTC value, the zone's rule
// for the date makes the announcement, so the two differ by an hour across the seasons.
TEST_F(StampingTest, DaylightSavingEdge) {
    test::ScopedTz zone(test::kEasternEurope);
    const auto file = Make("clip.wmv");
    const struct {
        const char* what;
        long long now;
        long long storedUtc;
        const char* announced;
    } rows[] = {
        {"run in daylight-saving time", kJul15_2025, kFeb17_2005_140309 - 3 * 3600,
         "New file date/time will be 17/02/2005  13:03:09\n"},
        {"run in standard time", kFeb17_2005, kFeb17_2005_140309 - 2 * 3600,
         "New file date/time will be 17/02/2005  14:03:09\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Stamp({"/D", "02-17-2005", "/T", "14:03:09", "clip.wmv"}, row.now * 1000), 0);
        EXPECT_EQ(console.out.substr(0, console.out.find('\n') + 1), row.announced) << row.what;
        EXPECT_EQ(TimesOf(file).lastWrite, At(row.storedUtc)) << row.what;
    }
}

// Guards the read-back: a time the file system did not store as given is reported as not
// changed (ext4 holds 1901 to 2446 only, clamping the rest without a word) and the entry keeps
// the time it had; one it stored is reported as changed.
TEST_F(StampingTest, TimesTheDiskCannotHold) {
    const auto file = Make("clip.wmv");
    test::ProgramRun kind;
    ASSERT_FALSE(test::RunProgram("/usr/bin/stat", {"-f", "-c", "%T", folder.str()}, "", {}, kind));
    const bool ext4 = kind.out.starts_with("ext2/ext3");
    const struct {
        std::uint16_t year, month, day;
        bool ext4Holds;
    } rows[] = {
        {1601, 1, 1, false}, {9999, 12, 31, false}, {1950, 6, 15, true}, {2005, 2, 17, true}};
    for (const auto& row : rows) {
        char date[32];
        std::snprintf(date, sizeof date, "%02d-%02d-%04d", row.month, row.day, row.year);
        const FileTime before = TimesOf(file).lastWrite;
        EXPECT_EQ(Stamp({"/D", date, "/T", "12:00:00", "clip.wmv"}), 0);
        const bool reported =
            console.out.find("File clip.wmv date/time changed succesfully") != std::string::npos;
        stamp::SystemTime asked;
        asked.year = row.year;
        asked.month = row.month;
        asked.day = row.day;
        asked.hour = 12;
        FileTime wanted = 0;
        ASSERT_TRUE(stamp::SystemTimeToFileTime(asked, wanted));
        EXPECT_EQ(TimesOf(file).lastWrite, reported ? wanted : before) << date << "\n"
                                                                       << console.out;
        if (ext4) {
            EXPECT_EQ(reported, row.ext4Holds) << date;
        }
    }
}

// Guards /IF: an entry is stamped only while its last-write time is the guard's, within the
// second, and is otherwise left whole, access and creation times too, with its "Cannot change"
// line and status 0.
TEST_F(StampingTest, GuardOnTheLastWrite) {
    const struct {
        const char* what;
        std::vector<std::string> switches;
        int lastWriteMs; ///< After kOld, 2000-01-01 00:00:00.
        const char* guardTime;
        bool stamped;
    } rows[] = {
        {"guard matches", {}, 0, "00:00:00", true},
        {"guard a second off", {}, 0, "00:00:01", false},
        {"guard a day off", {}, 0, "23:59:59", false},
        {"/A /C, guard matches", {"/A", "/C"}, 0, "00:00:00", true},
        {"/A /C, guard differs", {"/A", "/C"}, 0, "00:00:01", false},
        {"/C, guard differs", {"/C"}, 0, "00:00:02", false},
        {"fraction inside the second", {}, 750, "00:00:00", true},
        {"fraction a second beyond", {}, 1250, "00:00:00", false},
        {"fraction a second before", {}, -1250, "00:00:00", false},
    };
    for (const auto& row : rows) {
        const auto file = Make("clip.wmv");
        test::SetLastWrite(file, kOld, row.lastWriteMs);
        const platform::FileTimeSet before = TimesOf(file);
        std::vector<std::string> args = row.switches;
        args.insert(args.end(), {"/IF", "01-01-2000", row.guardTime, "/D", "02-17-2005", "/T",
                                 "14:03:09", "clip.wmv"});
        EXPECT_EQ(Stamp(args), 0) << row.what;
        EXPECT_EQ(console.out,
                  std::string("New file date/time will be 17/02/2005  14:03:09\n") +
                      (row.stamped ? "File clip.wmv date/time changed succesfully\n\n"
                                   : "Cannot change date/time of clip.wmv -- file ignored\n\n"))
            << row.what;
        const auto times = TimesOf(file);
        if (row.stamped) {
            EXPECT_EQ(times.lastWrite, At(kFeb17_2005_140309)) << row.what;
        } else {
            EXPECT_EQ(times.lastWrite, before.lastWrite) << row.what;
            EXPECT_EQ(times.lastAccess, before.lastAccess) << row.what;
            EXPECT_EQ(times.creation, before.creation) << row.what;
            EXPECT_EQ(console.err, "") << row.what;
        }
        std::filesystem::remove(file);
    }
}

// Guards the guard's zone: it is turned into UTC by the offset in force now, as the new time is,
// so the time a run left in the other half of the daylight-saving year matches it, and the one
// the announcement showed does not. A guard that is no calendar time stamps nothing.
TEST_F(StampingTest, GuardTakesTheOffsetOfTheNewTime) {
    test::ScopedTz zone(test::kEasternEurope);
    const auto file = Make("clip.wmv");
    const long long summer = kJul15_2025 * 1000;
    EXPECT_EQ(Stamp({"/D", "02-17-2005", "/T", "14:03:09", "clip.wmv"}, summer), 0);
    const FileTime left = TimesOf(file).lastWrite;

    EXPECT_EQ(Stamp({"/IF", "02-17-2005", "13:03:09", "/T", "00:00:00", "clip.wmv"}, summer), 0);
    EXPECT_NE(console.out.find("Cannot change date/time of clip.wmv"), std::string::npos);
    EXPECT_EQ(TimesOf(file).lastWrite, left);

    EXPECT_EQ(Stamp({"/IF", "02-30-2005", "14:03:09", "/T", "00:00:00", "clip.wmv"}, summer), 1);
    EXPECT_EQ(console.out, stamp::text::kInvalidDateTime);
    EXPECT_EQ(TimesOf(file).lastWrite, left);

    EXPECT_EQ(
        Stamp({"/IF", "02-17-2005", "14:03:09", "/D", "01-01-2001", "/T", "00:00:00", "clip.wmv"},
              summer),
        0);
    EXPECT_NE(console.out.find("File clip.wmv date/time changed succesfully"), std::string::npos);
    constexpr long long kJan1_2001 = 978307200; // 2001-01-01 00:00:00 UTC
    EXPECT_EQ(TimesOf(file).lastWrite, At(kJan1_2001 - 3 * 3600));
}

/// A clock whose time or zone cannot be read.
class BrokenClock final : public stamp::StampClock {
public:
    BrokenClock(bool time, bool zone) : time_(time), zone_(zone) {}
    bool LocalNow(stamp::SystemTime& now) const override {
        now = stamp::SystemTime{2005, 2, 4, 17, 14, 3, 9, 0};
        return time_;
    }
    std::optional<std::int32_t> OffsetNow() const override {
        return zone_ ? std::optional<std::int32_t>(0) : std::nullopt;
    }
    bool UtcToLocal(FileTime utc, stamp::SystemTime& local) const override {
        return stamp::FileTimeToSystemTime(utc, local);
    }

private:
    bool time_, zone_;
};

// Guards the failures of the clock: no time or no zone stamps nothing and says why, rather
// than a year 0 or a zone of 0.
TEST_F(StampingTest, ClockThatCannotBeRead) {
    const auto file = Make("clip.wmv");
    const struct {
        const char* what;
        BrokenClock clock;
        std::string out;
    } rows[] = {
        {"no time", {false, true}, stamp::text::kNoClock},
        {"no zone", {true, false}, std::string(stamp::text::kBanner) + stamp::text::kNoZone},
    };
    for (const auto& row : rows) {
        StringConsole out;
        EXPECT_EQ(stamp::RunStamplet({"clip.wmv"}, row.clock, out), 1) << row.what;
        EXPECT_EQ(out.out, row.out) << row.what;
        EXPECT_EQ(TimesOf(file).lastWrite, At(kOld)) << row.what;
    }
}

// Guards "nothing lost": no Stamplet mode changes, creates or removes any file's contents.
TEST_F(StampingTest, ContentsNeverChange) {
    Make("a.wmv");
    Make(".hidden.wmv");
    std::filesystem::create_directory(folder.path() / "sub");
    Make("sub/inner.wmv");
    const auto contents = [this] {
        std::map<std::string, std::string> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path()))
            all[entry.path().string()] = entry.is_regular_file() ? test::ReadAll(entry.path()) : "";
        return all;
    };
    const auto before = contents();
    for (const std::vector<std::string>& switches : {std::vector<std::string>{"/W"},
                                                     {"/A"},
                                                     {"/C"},
                                                     {"/A", "/C"},
                                                     {"/S"},
                                                     {"/S", "/A", "/C"}}) {
        std::vector<std::string> args = switches;
        args.insert(args.end(), {"/D", "02-17-2005", "/T", "14:03:09", "*.*"});
        EXPECT_EQ(Stamp(args), 0);
        EXPECT_EQ(contents(), before) << switches.back();
    }
}

} // namespace
