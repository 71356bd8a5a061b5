#include "engine/StampScript.h"
#include "platform/DirectorySearch.h"
#include "platform/ProgramPath.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using engine::CalendarTime;
using engine::EncodeDateTime;
using engine::StampItem;

const std::string kBatchTrailer =
    "echo.\r\n"
    "echo P\x84iv\x84m\x84\x84r\x84t ja ajat asetettu tiedostoihin. Varmista viel\x84 "
    "kansion\x84kym\x84st\x84, ett\x84 p\x84iv\x84m\x84\x84r\x84t meniv\x84t oikein. Voit sulkea "
    "t\x84m\x84n ikkunnan.\r\n"
    "echo.\r\n";

const std::string kBatchHeader = "@echo off\r\n"
                                 "\r\n"
                                 "rem This batch file was created by Kronalo 1.3.\r\n"
                                 "rem Copyright (c) 2026 the Kronalo developers.\r\n"
                                 "rem Contact: kronalo@example.org\r\n";

std::vector<StampItem> TwoClips() {
    return {
        {"clip01.wmv", EncodeDateTime({2006, 3, 7, 14, 5, 9, 0}),
         EncodeDateTime({2006, 3, 7, 14, 52, 40, 0})},
        {"clip02.wmv", EncodeDateTime({2006, 3, 8, 9, 0, 1, 0}),
         EncodeDateTime({2006, 3, 8, 9, 41, 16, 0})},
    };
}

// Guards every byte of the batch script for the two-clip example: order of lines, quoting,
// CR LF after the last line, the OEM trailer.
TEST(StampScriptTest, BatchExampleByteForByte) {
    const auto script = engine::MakeBatchScript();
    const std::string expected =
        kBatchHeader +
        "cd \"C:\\Video\\Clips\"\r\n"
        "C:\r\n"
        "\r\n"
        "\"C:\\Tools\\Stamplet.exe\" /C /D 03-07-2006 /T 14:05:09 \"clip01.wmv\"\r\n"
        "\"C:\\Tools\\Stamplet.exe\" /W /D 03-07-2006 /T 14:52:40 \"clip01.wmv\"\r\n"
        "if exist \"%KRONALO_STOP%\" exit 3\r\n"
        "\r\n"
        "\"C:\\Tools\\Stamplet.exe\" /C /D 03-08-2006 /T 09:00:01 \"clip02.wmv\"\r\n"
        "\"C:\\Tools\\Stamplet.exe\" /W /D 03-08-2006 /T 09:41:16 \"clip02.wmv\"\r\n"
        "if exist \"%KRONALO_STOP%\" exit 3\r\n"
        "\r\n" +
        kBatchTrailer;
    const engine::ComposedScript composed =
        script->Compose("C:\\Video\\Clips", "C:\\Tools\\", TwoClips());
    EXPECT_EQ(composed.bytes, expected);
    EXPECT_TRUE(composed.environment.empty()) << "names the console's code page holds stay in";
    EXPECT_EQ(script->ScriptPath("C:\\Video\\Clips"),
              "C:\\Video\\Clips\\Clips FileDateAndTime File.bat");
}

// Guards the drive-root case: two backslashes in the path, a name beginning with a blank.
TEST(StampScriptTest, BatchDriveRoot) {
    const auto script = engine::MakeBatchScript();
    const std::string expected = kBatchHeader + "cd \"C:\\\"\r\nC:\r\n\r\n" + kBatchTrailer;
    EXPECT_EQ(script->Compose("C:\\", "C:\\Tools\\", {}).bytes, expected);
    EXPECT_EQ(script->ScriptPath("C:\\"), "C:\\\\ FileDateAndTime File.bat");
}

// Guards the console's text: OEM letters, doubled percent signs; a name with a letter the
// console's code page lacks goes through the environment, exactly, and only such a name.
TEST(StampScriptTest, BatchConsoleText) {
    const auto script = engine::MakeBatchScript();
    const std::vector<StampItem> items = {
        {"50%off Kää.wmv", EncodeDateTime({2006, 3, 7, 1, 2, 3, 0}),
         EncodeDateTime({2006, 3, 7, 4, 5, 6, 0})},
        {"café’s crème.wmv", EncodeDateTime({2006, 3, 7, 1, 2, 3, 0}),
         EncodeDateTime({2006, 3, 7, 4, 5, 6, 0})},
    };
    const engine::ComposedScript composed =
        script->Compose("D:\\Kesä 100%", "C:\\Työkalut\\", items);
    const std::string& text = composed.bytes;
    EXPECT_NE(text.find("cd \"D:\\Kes\x84 100%%\"\r\nD:\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"C:\\Ty\x94kalut\\Stamplet.exe\" /C /D 03-07-2006 /T 01:02:03 "
                        "\"50%%off K\x84\x84.wmv\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"C:\\Ty\x94kalut\\Stamplet.exe\" /W /D 03-07-2006 /T 04:05:06 "
                        "\"%KRONALO_NAME_1%\"\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(composed.environment,
              (engine::ScriptEnvironment{{"KRONALO_NAME_1", "café’s crème.wmv"}}));
    // The script's own path is not converted.
    EXPECT_EQ(script->ScriptPath("D:\\Kesä 100%"),
              "D:\\Kesä 100%\\Kesä 100% FileDateAndTime File.bat");

    const struct {
        const char* what;
        std::string text;
        bool carried;
    } rows[] = {
        {"a table letter", "Kesä", true},
        {"a letter the table lacks, through the environment", "Straße.wmv", true},
        {"any letter, through the environment", "Жизнь 🎬.wmv", true},
        {"a percent sign, doubled", "50%.wmv", true},
        {"a double quote would end the name", "a\" & del *.* & \".wmv", false},
        {"a pipe", "a|b.wmv", false},
        {"redirection", "a>b.wmv", false},
        {"a line break", "a\r\nb.wmv", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(script->CarriesUnchanged(row.text), row.carried) << row.what;
}

// Guards the shell dialect's structure and its quoting of folders and names.
TEST(StampScriptTest, ShellScript) {
    const auto script = engine::MakeShellScript();
    std::vector<StampItem> items = TwoClips();
    items[1].targetName = "it's $x.wmv";
    const std::string expected =
        "#!/bin/sh\n"
        "\n"
        "# This script was created by Kronalo 1.3.\n"
        "# Copyright (c) 2026 the Kronalo developers.\n"
        "# Contact: kronalo@example.org\n"
        "[ . -ef '/home/u/Videot' ] || exit 1\n"
        "trap 'kronalo_stop=1' TERM\n"
        "\n"
        "'/opt/kronalo/Stamplet' /C /D 03-07-2006 /T 14:05:09 'clip01.wmv'\n"
        "'/opt/kronalo/Stamplet' /W /D 03-07-2006 /T 14:52:40 'clip01.wmv'\n"
        "[ -z \"$kronalo_stop\" ] || exit 3\n"
        "\n"
        "'/opt/kronalo/Stamplet' /C /D 03-08-2006 /T 09:00:01 'it'\\''s $x.wmv'\n"
        "'/opt/kronalo/Stamplet' /W /D 03-08-2006 /T 09:41:16 'it'\\''s $x.wmv'\n"
        "[ -z \"$kronalo_stop\" ] || exit 3\n"
        "\n"
        "echo\n"
        "echo 'Päivämäärät ja ajat asetettu tiedostoihin. Varmista vielä kansionäkymästä, että "
        "päivämäärät menivät oikein. Voit sulkea tämän ikkunnan.'\n"
        "echo\n";
    EXPECT_EQ(script->Compose("/home/u/Videot", "/opt/kronalo/", items).bytes, expected);

    // A target from the root cannot pass for a switch, and a restore's lines each expect the
    // last-write time the line before them left.
    items.resize(1);
    items[0].targetName = "/media/out/clip01.wmv";
    items[0].lastAccessTime = items[0].creationTime;
    items[0].ifLastWrite = items[0].lastWriteTime;
    const std::string bytes = script->Compose("/home/u/Videot", "/opt/kronalo/", items).bytes;
    EXPECT_NE(bytes.find("'/opt/kronalo/Stamplet' /IF 03-07-2006 14:52:40 /C /D 03-07-2006 /T "
                         "14:05:09 -- '/media/out/clip01.wmv'\n"
                         "'/opt/kronalo/Stamplet' /IF 03-07-2006 14:05:09 /A /D 03-07-2006 /T "
                         "14:05:09 -- '/media/out/clip01.wmv'\n"
                         "'/opt/kronalo/Stamplet' /IF 03-07-2006 14:05:09 /W /D 03-07-2006 /T "
                         "14:52:40 -- '/media/out/clip01.wmv'\n"),
              std::string::npos)
        << bytes;

    const struct {
        const char* folder;
        const char* path;
    } paths[] = {
        {"/home/u/Videot", "/home/u/Videot/Videot FileDateAndTime File.sh"},
        {"/", "/ FileDateAndTime File.sh"},
        {"/mnt/Kesä 2006", "/mnt/Kesä 2006/Kesä 2006 FileDateAndTime File.sh"},
    };
    for (const auto& row : paths)
        EXPECT_EQ(script->ScriptPath(row.folder), row.path) << row.folder;
    EXPECT_TRUE(script->CarriesUnchanged("Kesä ø ß"));
}

} // namespace

namespace {

// Guards the program folder: Stamplet is looked for beside the running program.
TEST(StampScriptTest, ProgramFolderIsTheExecutablesFolder) {
    std::string folder;
    ASSERT_FALSE(platform::ExecutableFolder(folder));
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(std::string(platform::FolderSeparators()).find(folder.back()), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder + "engine_tests") ||
                std::filesystem::exists(folder + "engine_tests.exe"));
}

} // namespace
