// The POSIX stamp script run for real by /bin/sh.

#include "engine/StampScript.h"

#include "TempFolder.h"
#include "TimeCopyRunFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace test;

std::vector<engine::StampItem> OneClip() {
    return {{"clip01.wmv", engine::EncodeDateTime({2006, 3, 7, 14, 5, 9, 0}),
             engine::EncodeDateTime({2006, 3, 7, 14, 52, 40, 0})}};
}

// Guards the folder line: a script started anywhere but in its list folder (a folder that went,
// or another put at its path) ends before any stamp call, which would otherwise look for the
// targets in whatever folder the shell started in.
TEST(StampScriptTest, ShellScriptStopsWhenListFolderIsMissing) {
    test::TempFolder folder;
    const auto script = engine::MakeShellScript();
    const auto path = folder.Write(
        "stamp.sh",
        script->Compose((folder.path() / "gone").string(), "/nonexistent/", OneClip()).bytes);
    const std::string command = "/bin/sh '" + path.string() + "' > '" + folder.str() + "/out' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
    EXPECT_EQ(test::ReadAll(folder.path() / "out").find("Stamplet"), std::string::npos);
    EXPECT_EQ(test::ReadAll(folder.path() / "out").find("Päivämäärät"), std::string::npos);
}

// Guards the shell script's quoting end to end: /bin/sh runs it against a double of Stamplet
// that records its arguments, and every hostile name arrives as one argument, unchanged.
TEST_F(TimeCopyRunTest, ShellScriptPassesHostileNamesUnchanged) {
    // In Stamplet's place: appends its arguments, each in brackets, and a line end to a log.
    const std::string log = (programs.path() / "calls.log").string();
    std::ofstream(programs.path() / "Stamplet")
        << "#!/bin/sh\nfor arg in \"$@\"; do printf '[%s]' \"$arg\" >> '" << log
        << "'; done\nprintf '\\n' >> '" << log << "'\n";
    std::filesystem::permissions(programs.path() / "Stamplet", std::filesystem::perms::owner_all);

    const std::vector<std::string> names = {
        "a b.avi",       "say \"hi\".avi", "it's.avi",   "$HOME.avi",           "`id`.avi",
        "new\nline.avi", "-lead.avi",      "50%off.avi", "semi;colon&amp!.avi", "\\back.avi",
    };
    request.list.items = names;
    request.list.selected.assign(names.size(), true);
    for (const std::string& name : names)
        test::SetLastWrite(folder.Write(name), 1141740309, 999);

    ASSERT_EQ(Run(), RunEnd::Started);
    const std::string command =
        "cd '" + folder.str() + "' && /bin/sh '" + ScriptPath() + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    End(ScriptOutcome{});

    // The creation line only where the disk keeps a creation time.
    platform::TimeKeeping keeping;
    ASSERT_FALSE(platform::TimeKeepingOf(folder.str(), keeping));
    std::string expected;
    for (const std::string& name : names) {
        const std::string target = name.substr(0, name.size() - 4) + ".wmv";
        // The creation time is whatever this file system keeps for the new file.
        engine::TDateTime creation, access, write;
        ASSERT_TRUE(engine::TFileInfo((folder.path() / name).string(), zone)
                        .ReadFileTimes(creation, access, write));
        if (keeping.creationSettable)
            expected += "[/C][/D][" + engine::FormatStampDate(creation) + "][/T][" +
                        engine::FormatStampTime(creation) + "][" + target + "]\n";
        expected += "[/W][/D][03-07-2006][/T][14:05:09][" + target + "]\n";
    }
    EXPECT_EQ(test::ReadAll(log), expected);
    EXPECT_FALSE(std::filesystem::exists(ScriptPath()));
}

} // namespace
