// The whole time-copy road on Windows: the engine writes the batch script, cmd runs it, the
// real Stamplet.exe stamps.

#include "engine/Messages.h"
#include "engine/StampScript.h"
#include "platform/FileTimes.h"

#include "TempFolder.h"
#include "tests/support/TestSurroundings.h"

#include <gtest/gtest.h>

namespace {

constexpr platform::FileTime kSecond = platform::kFileTimeTicksPerSecond;

platform::FileTime At(long long unixSeconds) {
    return platform::kUnixEpochFileTime + static_cast<platform::FileTime>(unixSeconds) * kSecond;
}

/// True when this system keeps a creation time that is set (Wine on a Linux file system does not).
bool KeepsCreationTimes(const std::string& folder) {
    const std::string probe = folder + "\\probe.tmp";
    std::ofstream(probe) << "probe";
    platform::FileTimeChange change;
    change.creation = At(1000000000);
    bool ignored = false;
    platform::FileTimeSet times;
    return !platform::SetFileTimes(probe, change, ignored) &&
           !platform::GetFileTimes(probe, times) && times.creation == At(1000000000);
}

// Guards the batch dialect end to end: the console's code page for the folder's ä, %% for a
// name's %, the /C line before the /W line, and both times of every target equal to its source's.
TEST(TimeCopyBatchTest, CmdRunsTheStampScript) {
    test::TempFolder folder;
    // The folder's name as the window's code page spells it, and as the standard library's
    // wide file calls take it.
    const std::string listBytes = folder.str() + "\\Kes\xE4";
    const std::filesystem::path list = folder.path() / std::filesystem::path(u8"Kes\u00e4");
    std::filesystem::create_directory(list);
    const struct {
        const char* source;
        const char* target;
        long long created;
        long long written;
    } files[] = {
        {"clip01.avi", "clip01.wmv", 1105790407, 1121428807},
        {"50%off.avi", "50%off.wmv", 946684800, 946688400},
    };
    for (const auto& file : files) {
        std::ofstream(list / file.source) << "source";
        std::ofstream(list / file.target) << "target";
        platform::FileTimeChange times;
        times.creation = At(file.created);
        times.lastWrite = At(file.written);
        bool ignored = false;
        ASSERT_FALSE(platform::SetFileTimes(listBytes + "\\" + file.source, times, ignored));
    }

    test::TestSurroundings surroundings(test::TestSurroundings::Script::Run);
    surroundings.ListFiles(listBytes);
    const auto script = engine::MakeBatchScript();
    const std::string programFolder =
        std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "\\";
    ASSERT_EQ(engine::RunTimeCopy(surroundings, {programFolder, *script}, surroundings.Request()),
              engine::RunEnd::Started);
    // Where Wine keeps no creation time, kDone carries the note on creation times.
    EXPECT_TRUE(surroundings.LastBox().starts_with(engine::messages::kDone))
        << surroundings.LastBox() << surroundings.script.out << surroundings.script.err;

    std::vector<platform::FileTimeSet> targets;
    for (const auto& file : files) {
        platform::FileTimeSet target;
        ASSERT_FALSE(platform::GetFileTimes(listBytes + "\\" + file.target, target));
        EXPECT_EQ(target.lastWrite, At(file.written)) << file.target;
        targets.push_back(target);
    }
    EXPECT_FALSE(std::filesystem::exists(
        list / std::filesystem::path(u8"Kes\u00e4 FileDateAndTime File.bat")));

    if (!KeepsCreationTimes(folder.str()))
        GTEST_SKIP() << "last-write times copied; creation times not checked: this system "
                        "(Wine on a Linux file system) does not keep a creation time that is set";
    for (std::size_t i = 0; i < targets.size(); ++i)
        EXPECT_EQ(targets[i].creation, At(files[i].created)) << files[i].target;
}

} // namespace
