// The whole time-copy road on a Linux file system: the engine writes the stamp script, /bin/sh
// runs it, the real Stamplet stamps.

#include "engine/Messages.h"
#include "engine/StampScript.h"
#include "platform/FileTimes.h"

#include "ScopedTz.h"
#include "TempFolder.h"
#include "tests/support/WholeRun.h"

#include <gtest/gtest.h>

namespace {

std::string ProgramFolder() {
    return std::filesystem::path(KRONALO_STAMPLET).parent_path().string() + "/";
}

platform::FileTime LastWrite(const std::filesystem::path& file) {
    platform::FileTimeSet times;
    EXPECT_FALSE(platform::GetFileTimes(file.string(), times));
    return times.lastWrite;
}

// Guards the product's main promise and the daylight-saving mend: under a zone with daylight
// saving, targets get their sources' last-write times exactly, for source times in both seasons,
// whatever the season of the run.
TEST(TimeCopyEndToEndTest, LastWriteTimesCopiedExactly) {
    test::ScopedTz zone(test::kEasternEurope);
    test::TempFolder folder;
    const struct {
        const char* source;
        const char* target;
        long long unixSeconds;
    } files[] = {
        {"winter.avi", "winter.wmv", 1105790407}, // 2005-01-15 12:00:07 UTC
        {"summer.avi", "summer.wmv", 1121428807}, // 2005-07-15 12:00:07 UTC
        {"it's 50% $x.avi", "it's 50% $x.wmv", 946684800},
    };
    for (const auto& file : files) {
        test::SetLastWrite(folder.Write(file.source, "source"), file.unixSeconds);
        folder.Write(file.target, "target");
    }

    test::WholeRun whole;
    whole.ListFiles(folder.str());
    const auto script = engine::MakeShellScript();
    ASSERT_EQ(whole.Run({ProgramFolder(), *script}), engine::RunEnd::Started);

    EXPECT_EQ(whole.script.exitStatus, 0) << whole.script.err;
    EXPECT_TRUE(whole.LastBox().starts_with(engine::messages::kDone)) << whole.script.out;
    for (const auto& file : files)
        EXPECT_EQ(LastWrite(folder.path() / file.target), LastWrite(folder.path() / file.source))
            << file.target;
    EXPECT_FALSE(std::filesystem::exists(script->ScriptPath(folder.str())));
}

// Guards the warning: a missing target is named in it, instead of `kDone`.
TEST(TimeCopyEndToEndTest, MissingTargetIsNamed) {
    test::TempFolder folder;
    test::SetLastWrite(folder.Write("a.avi"), 946684800);
    folder.Write("a.wmv");
    test::SetLastWrite(folder.Write("b.avi"), 946684800);

    test::WholeRun whole;
    whole.ListFiles(folder.str());
    const auto script = engine::MakeShellScript();
    ASSERT_EQ(whole.Run({ProgramFolder(), *script}), engine::RunEnd::Started);
    const std::string box = whole.LastBox();
    EXPECT_NE(box.find("Ajat asetettu: 1\rAikoja ei asetettu: 0\rKohdetiedostoa ei löytynyt: 1"),
              std::string::npos)
        << box;
    EXPECT_NE(box.find("\rb.wmv: ei löytynyt"), std::string::npos) << box;
}

} // namespace
