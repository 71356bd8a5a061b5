// The record a time-copy run keeps of what it changes, and the plan a restore makes from it.

#include "engine/RestoreRun.h"
#include "engine/RunRecord.h"
#include "engine/StampFormat.h"
#include "platform/FileTimes.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

#include <unistd.h>

namespace {

using engine::RecordedTarget;
using engine::RunRecord;
using engine::TargetState;
using platform::ExactTime;

constexpr platform::FileTime kSecond = platform::kFileTimeTicksPerSecond;

platform::FileTime At(long long unixSeconds) {
    return platform::kUnixEpochFileTime + static_cast<platform::FileTime>(unixSeconds) * kSecond;
}

RunRecord Sample() {
    RunRecord record;
    record.folder = "/home/u/Video \xE4%";
    record.folderDevice = 2049;
    record.folderNumber = 1234;
    record.started = {1765184400, 123456789};
    record.begun = true;
    RecordedTarget plain;
    plain.name = "clip01.wmv";
    plain.before.device = 2049;
    plain.before.number = 99;
    plain.before.creation = ExactTime{1105790407, 5};
    plain.before.lastAccess = {1105790408, 999999999};
    plain.before.lastWrite = {-86400, 0};
    plain.setCreation = At(1141740309);
    plain.setLastWrite = At(1141740369);
    RecordedTarget hostile = plain;
    hostile.name = "sub/a b\n%\xFF.wmv";
    hostile.before.creation.reset();
    hostile.setCreation = 0;
    hostile.restored = true;
    record.targets = {plain, hostile};
    return record;
}

// Guards the record's file: every name and exact time comes back as written, and a file that is
// not one whole record (cut short, added to, a field broken) is no record.
TEST(RunRecordTest, FileRoundTripAndDamage) {
    const RunRecord record = Sample();
    const std::string text = engine::FormatRunRecord(record);
    const std::optional<RunRecord> back = engine::ParseRunRecord(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->folder, record.folder);
    EXPECT_EQ(back->started, record.started);
    EXPECT_TRUE(back->begun);
    ASSERT_EQ(back->targets.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const RecordedTarget &got = back->targets[i], &wanted = record.targets[i];
        EXPECT_EQ(got.name, wanted.name);
        EXPECT_EQ(got.before.creation, wanted.before.creation);
        EXPECT_EQ(got.before.lastAccess, wanted.before.lastAccess);
        EXPECT_EQ(got.before.lastWrite, wanted.before.lastWrite);
        EXPECT_EQ(got.setLastWrite, wanted.setLastWrite);
        EXPECT_EQ(got.restored, wanted.restored);
    }
    // A record of the first version, kept from before: begun, and marked for the whole run.
    const std::string one =
        "Kronalo restore record 1\nfolder /v\nfolder-identity 1 2\nstarted 5 0\n"
        "restored 1\ntargets 1\ntarget a 1 3 0 - - 1 0 2 0 0 7\nend\n";
    const std::optional<RunRecord> old = engine::ParseRunRecord(one);
    ASSERT_TRUE(old);
    EXPECT_TRUE(old->begun);
    EXPECT_EQ(old->Unrestored(), 0u);
    EXPECT_EQ(text.find('\xFF'), std::string::npos) << "names are written as printable text";

    const struct {
        const char* what;
        std::string text;
    } damaged[] = {
        {"cut short", text.substr(0, text.size() - 4)},
        {"a target missing", text.substr(0, text.find("target ", text.find("target ") + 1))},
        {"something after its end", text + "target x 1 2 0 - - 1 0 1 0 0 0\n"},
        {"a broken number",
         [&] {
             std::string t = text;
             t.replace(t.find("2049"), 4, "20x9");
             return t;
         }()},
        {"a broken escape",
         [&] {
             std::string t = text;
             t.replace(t.find("%0A"), 3, "%G1");
             return t;
         }()},
        {"another format", "Kronalo restore record 3" + text.substr(text.find('\n'))},
        {"a count given back that is not the targets'",
         [&] {
             std::string t = text;
             t.replace(t.find("restored 1"), 10, "restored 0");
             return t;
         }()},
        {"a mark neither 0 nor 1",
         [&] {
             std::string t = text;
             t.replace(t.find(" 1\nend"), 2, " 2");
             return t;
         }()},
        {"empty", ""},
    };
    for (const auto& row : damaged)
        EXPECT_FALSE(engine::ParseRunRecord(row.text)) << row.what;
}

// Guards the record folder: the runs of the folder that have begun and have targets left to give
// back are found newest first, other folders' runs, runs that never started and fully restored
// ones are passed over, newer records that cannot be trusted are refused and left as they are.
TEST(RunRecordTest, RecordsOfTheUser) {
    test::TempFolder folder;
    const engine::RunRecords records(folder.str());
    RunRecord record = Sample();
    record.targets[1].restored = false;
    std::string first, path;
    ASSERT_FALSE(records.Add(record, first));
    record.started.seconds += 10;
    record.folderNumber = 4321;
    ASSERT_FALSE(records.Add(record, path)) << "another folder's run";
    record.folderNumber = 1234;
    record.begun = false;
    ASSERT_FALSE(records.Add(record, path)) << "a run that never started";
    record.begun = true;

    engine::RunRecords::Found found = records.Runs(2049, 1234);
    ASSERT_EQ(found.runs.size(), 1u);
    EXPECT_EQ(found.runs[0].path, first);
    const platform::ExactTime started = found.runs[0].header.run.started;
    ASSERT_FALSE(records.MarkRestored(first, started, {1}));
    ASSERT_EQ(records.Runs(2049, 1234).runs.size(), 1u) << "one target is left to give back";
    EXPECT_EQ(records.Runs(2049, 1234).runs[0].header.restored, 1u);
    RunRecord read;
    ASSERT_FALSE(records.Read(first, read));
    EXPECT_EQ(read.Unrestored(), 1u);
    EXPECT_TRUE(read.targets[1].restored);
    EXPECT_TRUE(records.MarkRestored(first, {1, 0}, {0})) << "another run's record is not marked";
    ASSERT_FALSE(records.MarkRestored(first, started, {0}));
    EXPECT_TRUE(records.Runs(2049, 1234).runs.empty()) << "a restored run is not found again";

    const struct {
        const char* what;
        std::function<bool(const std::string&)> make; ///< False where it cannot be made here.
        std::errc reason;
    } untrusted[] = {
        {"damaged",
         [](const std::string& p) {
             std::ofstream(p) << "Kronalo restore record 1\n";
             return true;
         },
         std::errc::illegal_byte_sequence},
        {"another user's",
         [](const std::string& p) {
             std::ofstream(p) << "x";
             // Only root gives a file away.
             return ::chown(p.c_str(), 65534, 65534) == 0;
         },
         std::errc::operation_not_permitted},
        {"writable by others",
         [](const std::string& p) {
             std::ofstream(p) << "x";
             std::filesystem::permissions(p, std::filesystem::perms::others_write,
                                          std::filesystem::perm_options::add);
             return true;
         },
         std::errc::permission_denied},
        {"writable by the group",
         [](const std::string& p) {
             std::ofstream(p) << "x";
             std::filesystem::permissions(p, std::filesystem::perms::group_write,
                                          std::filesystem::perm_options::add);
             return true;
         },
         std::errc::permission_denied},
        {"not a regular file",
         [](const std::string& p) {
             std::filesystem::create_symlink("/dev/zero", p);
             return true;
         },
         std::errc::too_many_symbolic_link_levels},
        {"too large",
         [](const std::string& p) {
             std::ofstream(p).close();
             std::filesystem::resize_file(p, engine::RunRecords::kLargest + 1);
             return true;
         },
         std::errc::file_too_large},
    };
    int newer = 0;
    for (const auto& row : untrusted) {
        const std::string bad = folder.str() + "/9999999999" + std::to_string(newer++) +
                                ".000000000-00000000.kronalo-run";
        if (!row.make(bad)) {
            std::filesystem::remove(bad);
            continue;
        }
        record.started.seconds += 10;
        record.folderNumber = 1234;
        ASSERT_FALSE(records.Add(record, path));
        found = records.Runs(2049, 1234);
        ASSERT_EQ(found.refused.size(), 1u) << row.what;
        EXPECT_EQ(found.refused[0].reason, std::make_error_code(row.reason)) << row.what;
        ASSERT_FALSE(found.runs.empty()) << row.what;
        EXPECT_EQ(found.runs[0].path, path)
            << row.what << ": the latest trusted run is still found";
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(bad))) << row.what;
        std::filesystem::remove(bad);
    }
}

// Guards pruning: the last 50 runs are kept by when they started, the record just written always
// stays (also where the clock stood ahead for the others), and a file that would not be read as
// a record of the user's own is never removed nor counted.
TEST(RunRecordTest, PruningKeepsTheNewRecord) {
    const auto count = [](const test::TempFolder& f) {
        return std::distance(std::filesystem::directory_iterator(f.path()), {});
    };
    const struct {
        const char* what;
        std::int64_t othersStart; ///< When the runs before it started, from the new one.
        bool othersWhole;         ///< False: damaged files under record names.
    } rows[] = {
        {"older runs", -1000, true},
        {"runs from a clock that stood ahead", 1000000, true},
        {"damaged files", -1000, false},
    };
    for (const auto& row : rows) {
        test::TempFolder folder;
        const engine::RunRecords records(folder.str());
        RunRecord record = Sample();
        std::string path;
        for (int i = 0; i < 55; ++i) {
            record.started.seconds = Sample().started.seconds + row.othersStart + i;
            ASSERT_FALSE(records.Add(record, path));
            if (!row.othersWhole)
                std::ofstream(path) << "Kronalo restore record 2" << '\n';
        }
        EXPECT_EQ(count(folder), row.othersWhole ? 50 : 55) << row.what;
        record.started = Sample().started;
        ASSERT_FALSE(records.Add(record, path));
        EXPECT_TRUE(std::filesystem::exists(path)) << row.what << ": the new record stays";
        EXPECT_EQ(count(folder), row.othersWhole ? 50 : 56) << row.what;
    }
}

/// A recorded run over targets in a temporary list folder, each left in the state a row names.
class RestorePlanTest : public ::testing::Test {
protected:
    RecordedTarget Record(const std::string& name) {
        RecordedTarget target;
        target.name = name;
        test::SetLastWrite(folder.Write(name, "target"), 946684800);
        EXPECT_FALSE(platform::FileStateOf((folder.path() / name).string(), target.before));
        // As the run stamped it.
        test::SetLastWrite(folder.path() / name, 1141740309);
        target.setLastWrite = At(1141740309);
        return target;
    }

    test::TempFolder folder;
    std::unique_ptr<engine::StampScript> script = engine::MakeShellScript();
};

// Guards what a restore takes back: only a target that is still the same file and still carries
// the times the run set, with a name Stamplet reads as that one file; the others are left alone
// with their reasons, and the times given back are the recorded ones to the second.
TEST_F(RestorePlanTest, OnlyWhatTheRunLeft) {
    const std::string scriptName = script->ScriptName(folder.str());
    RunRecord record;
    record.targets = {Record("same.wmv"),       Record("changed.wmv"),     Record("replaced.wmv"),
                      Record("missing.wmv"),    Record("a?b.wmv"),         Record(scriptName),
                      Record("given back.wmv"), Record("untouched.wmv"),   Record("made anew.wmv"),
                      Record("half run.wmv"),   Record("half restore.wmv")};
    record.targets[6].restored = true;
    // Left between the calls of one file: the run's creation line done, its last-write line not;
    // a restore's last-access line done, its last-write line not.
    record.targets[9].setCreation = At(1141000000);
    test::SetLastWrite(folder.path() / "half run.wmv", 1141000000);
    test::SetLastWrite(folder.path() / "half restore.wmv",
                       record.targets[10].before.lastAccess.seconds);
    // Its last-write time is the earlier one again, but it was made anew since.
    test::SetLastWrite(folder.path() / "made anew.wmv", 946684800);
    record.targets[8].before.creation = platform::ExactTime{1, 0};
    // The run never came to it: it has its earlier times still.
    test::SetLastWrite(folder.path() / "untouched.wmv", 946684800);
    test::SetLastWrite(folder.path() / "changed.wmv", 1141740310);
    // Made before the old one goes, another file cannot take the old one's number.
    test::SetLastWrite(folder.Write("replaced.new", "another"), 1141740309);
    std::filesystem::rename(folder.path() / "replaced.new", folder.path() / "replaced.wmv");
    std::filesystem::remove(folder.path() / "missing.wmv");

    platform::HeldFolder held;
    ASSERT_FALSE(held.Hold(folder.str()));
    engine::TargetPlaces places(held);
    const engine::RestorePlan plan = engine::PlanRestore(record, places, *script, scriptName, 0);
    ASSERT_EQ(plan.items.size(), 3u);
    EXPECT_EQ(plan.items[0].targetName, "same.wmv");
    ASSERT_TRUE(plan.items[1].ifLastWrite);
    EXPECT_EQ(engine::FormatStampTime(*plan.items[1].ifLastWrite), "00:26:40")
        << "a half-done file is guarded by the time it carries";
    EXPECT_EQ(engine::FormatStampDate(plan.items[0].lastWriteTime) + " " +
                  engine::FormatStampTime(plan.items[0].lastWriteTime),
              "01-01-2000 00:00:00");
    EXPECT_TRUE(plan.items[0].lastAccessTime) << "the last-access time is put back too";
    ASSERT_TRUE(plan.items[0].ifLastWrite) << "only while it carries what the run left";
    EXPECT_EQ(engine::FormatStampDate(*plan.items[0].ifLastWrite) + " " +
                  engine::FormatStampTime(*plan.items[0].ifLastWrite),
              "03-07-2006 14:05:09");
    EXPECT_EQ(plan.indices, (std::vector<std::size_t>{0, 9, 10}));
    EXPECT_EQ(plan.untouched, std::vector<std::size_t>{7}) << "neither given back nor named";
    EXPECT_EQ(plan.leftAlone, (std::vector<std::pair<std::string, TargetState>>{
                                  {"changed.wmv", TargetState::ChangedSince},
                                  {"replaced.wmv", TargetState::Replaced},
                                  {"missing.wmv", TargetState::NotFound},
                                  {"a?b.wmv", TargetState::NotCarried},
                                  {scriptName, TargetState::NotCarried},
                                  {"made anew.wmv", TargetState::ChangedSince},
                              }));
}

} // namespace
