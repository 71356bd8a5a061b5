// The whole time-copy road on Windows: the engine writes the batch script, cmd runs it, the
// real Stamplet.exe stamps.

#include "engine/Messages.h"
#include "engine/StampScript.h"
#include "platform/FileTimes.h"

#include "TempFolder.h"
#include "tests/support/WholeRun.h"

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
// Names the table cannot carry reach Stamplet.exe through the script's environment, exactly.
TEST(TimeCopyBatchTest, CmdRunsTheStampScript) {
    const struct {
        const char* what;
        std::string folder;
        std::vector<std::string> stems;
        bool throughEnvironment;
    } rows[] = {
        {"table letters: the script as it has always been",
         "Kes\u00e4",
         {"clip01", "50%off"},
         false},
        {"letters of every kind",
         "\u00d8velser \u2013 2024",
         {"\u0416\u0438\u0437\u043d\u044c", "caf\u00e9\u2019s cr\u00e8me", "\u00f8rken \u00df",
          "\U0001F3AC clip", "Kes\u00e4", "50%off"},
         true},
    };
    for (const auto& row : rows) {
        test::TempFolder folder;
        const std::string list = folder.str() + "\\" + row.folder;
        std::filesystem::create_directory(test::PathOf(list));
        std::vector<long long> created, written;
        for (std::size_t i = 0; i < row.stems.size(); ++i) {
            const std::string source = list + "\\" + row.stems[i] + ".avi";
            std::ofstream(test::PathOf(source)) << "source";
            std::ofstream(test::PathOf(list + "\\" + row.stems[i] + ".wmv")) << "target";
            platform::FileTimeChange times;
            times.creation =
                At(created.emplace_back(946684800 + 86400 * static_cast<long long>(i)));
            times.lastWrite =
                At(written.emplace_back(1105790407 + 3600 * static_cast<long long>(i)));
            bool ignored = false;
            ASSERT_FALSE(platform::SetFileTimes(source, times, ignored)) << row.what;
        }

        test::WholeRun whole;
        whole.ListFiles(list);
        const auto script = engine::MakeBatchScript();
        const std::string programFolder =
            std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "\\";
        ASSERT_EQ(whole.Run({programFolder, *script}), engine::RunEnd::Started) << row.what;
        EXPECT_EQ(whole.environment.empty(), !row.throughEnvironment) << row.what;
        // Where Wine keeps no creation time, kDone carries the note on creation times.
        EXPECT_TRUE(whole.LastBox().starts_with(engine::messages::kDone))
            << row.what << whole.LastBox() << whole.script.out << whole.script.err;

        std::vector<platform::FileTimeSet> targets;
        for (std::size_t i = 0; i < row.stems.size(); ++i) {
            platform::FileTimeSet target;
            ASSERT_FALSE(platform::GetFileTimes(list + "\\" + row.stems[i] + ".wmv", target));
            EXPECT_EQ(target.lastWrite, At(written[i])) << row.what << ": " << row.stems[i];
            targets.push_back(target);
        }
        EXPECT_FALSE(std::filesystem::exists(
            test::PathOf(list + "\\" + row.folder + " FileDateAndTime File.bat")));

        if (!KeepsCreationTimes(folder.str()))
            continue;
        for (std::size_t i = 0; i < targets.size(); ++i)
            EXPECT_EQ(targets[i].creation, At(created[i])) << row.what << ": " << row.stems[i];
    }
}

} // namespace
