#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"

#include "FakeSurroundings.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace test;
namespace messages = engine::messages;

// Guards the order of the checks and that a refused run writes and starts nothing.
TEST_F(TimeCopyRunTest, ChecksStopTheRunInOrder) {
    const struct {
        const char* what;
        std::string pattern;
        std::vector<std::string> items;
        std::vector<bool> selected;
        Answer answer;
        std::vector<std::string> expectedLog;
    } rows[] = {
        {"blank pattern is checked before the empty list",
         " \t ",
         {},
         {},
         Answer::Yes,
         {"info: " + std::string(messages::kBlankPattern)}},
        {"empty list names the filter",
         "*.wmv",
         {},
         {},
         Answer::Yes,
         {"info: " + messages::EmptyList("*.avi")}},
        {"No to select-all ends the run",
         "*.wmv",
         {"clip01.avi"},
         {false},
         Answer::No,
         {"ask: " + std::string(messages::kNothingSelected)}},
        {"target equal to source, after a good item",
         "*.avi",
         {"clip01.avi", "clip02.avi"},
         {true, true},
         Answer::Yes,
         {"info: " + messages::TargetIsSource("clip01.avi")}},
        {"unreadable source after a good one",
         "*.wmv",
         {"clip01.avi", "gone.avi", "clip02.avi"},
         {true, true, true},
         Answer::Yes,
         {"info: " + messages::TimesUnreadable("gone.avi")}},
        {"equal name wins over unreadable times",
         "*",
         {"gone"},
         {true},
         Answer::Yes,
         {"info: " + messages::TargetIsSource("gone")}},
        {"Yes selects all, then the unreadable one stops it",
         "*.wmv",
         {"clip01.avi", "gone.avi"},
         {false, false},
         Answer::Yes,
         {"ask: " + std::string(messages::kNothingSelected), "select all",
          "info: " + messages::TimesUnreadable("gone.avi")}},
        {"a source name with * would make its target a mask",
         "*.wmv",
         {"clip01.avi", "a*b.avi"},
         {true, true},
         Answer::Yes,
         {"info: " + messages::SourceNameIsMask("a*b.avi")}},
        {"so would one with ?",
         "KUVA_*",
         {"x?.avi"},
         {true},
         Answer::Yes,
         {"info: " + messages::SourceNameIsMask("x?.avi")}},
        {"a closed box counts as Yes",
         "*.wmv",
         {"gone.avi"},
         {false},
         Answer::Closed,
         {"ask: " + std::string(messages::kNothingSelected), "select all",
          "info: " + messages::TimesUnreadable("gone.avi")}},
    };
    for (const auto& row : rows) {
        fake.log.clear();
        fake.fields.targetPattern = row.pattern;
        fake.list.items = row.items;
        fake.list.selected = row.selected;
        fake.answer = row.answer;
        EXPECT_EQ(Run(), RunEnd::Stopped) << row.what;
        EXPECT_EQ(fake.log, row.expectedLog) << row.what;
        EXPECT_FALSE(std::filesystem::exists(ScriptPath())) << row.what;
    }
}

// Guards the mended lifetime: M7 and the deletion wait for the script's end.
TEST_F(TimeCopyRunTest, FinishesOnlyWhenTheScriptHasEnded) {
    ASSERT_EQ(Run(), RunEnd::Started);
    const std::string path = ScriptPath();
    const std::vector<std::string> beforeEnd = {"write: " + path,
                                                "info: " + std::string(messages::kScriptWritten),
                                                "start: " + path + " in " + folder.str()};
    EXPECT_EQ(fake.log, beforeEnd);
    EXPECT_EQ(fake.stampCalls, 4u);
    EXPECT_TRUE(std::filesystem::exists(path)) << "the running script must stay";
    EXPECT_EQ(test::ReadAll(path), fake.written);
    EXPECT_NE(fake.written.find("'clip01.wmv'\n"), std::string::npos);
    EXPECT_EQ(fake.written.find("clip02"), std::string::npos) << "clip02 is not selected";
    EXPECT_NE(fake.written.find("'clip03.wmv'\n"), std::string::npos);
    EXPECT_NE(fake.written.find("/W /D 03-07-2006 /T 14:05:09"), std::string::npos);

    fake.ended(ScriptOutcome{true, 2, 0, 0});
    const std::vector<std::string> afterEnd = {"beep", "info: " + std::string(messages::kDone),
                                               "delete: " + path};
    EXPECT_EQ(std::vector<std::string>(fake.log.begin() + 3, fake.log.end()), afterEnd);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Guards the endings after the checks: a warning instead of M7, M8, a failed start, a failed write.
TEST_F(TimeCopyRunTest, EndingsAfterTheChecks) {
    const std::string path = ScriptPath();

    fake.canDelete = false;
    ASSERT_EQ(Run(), RunEnd::Started);
    fake.log.clear();
    fake.ended(ScriptOutcome{true, 1, 1, 1});
    EXPECT_EQ(fake.log, (std::vector<std::string>{
                            "beep", "info: " + messages::NotAllStamped(true, 1, 1, 1),
                            "delete: " + path, "info: " + messages::ScriptNotDeleted(path)}));

    fake.canDelete = true;
    fake.canStart = false;
    fake.log.clear();
    ASSERT_EQ(Run(), RunEnd::NotStarted);
    EXPECT_EQ(
        std::vector<std::string>(fake.log.begin() + 3, fake.log.end()),
        (std::vector<std::string>{"info: " + messages::ScriptNotStarted(path), "delete: " + path}));
    EXPECT_FALSE(std::filesystem::exists(path));

    const struct {
        platform::WriteStage stage;
        std::string error;
    } writes[] = {
        {platform::WriteStage::Create, "error: Cannot create file " + path},
        {platform::WriteStage::Write,
         "error: " + std::make_error_code(std::errc::no_space_on_device).message()},
    };
    for (const auto& row : writes) {
        fake.writeFailure = row.stage;
        fake.log.clear();
        ASSERT_EQ(Run(), RunEnd::NotWritten);
        EXPECT_EQ(fake.log, (std::vector<std::string>{"write: " + path, row.error}));
    }
}

// Guards the batch mend: a letter the console cannot read stops the run before anything is
// written, whether it is in the list folder, the program folder or a target name.
TEST_F(TimeCopyRunTest, BatchRefusesNamesTheConsoleCannotRead) {
    script = engine::MakeBatchScript();
    const std::string lost = "\xF8"; // ø has no partner in the console's table.
    const struct {
        const char* what;
        std::string programFolder;
        std::string pattern;
        std::string expected;
    } rows[] = {
        {"target name", "C:\\Tools\\", "*" + lost + ".wmv",
         "info: " + messages::TargetNotCarried("clip01.avi", "clip01" + lost + ".wmv")},
        {"program folder", "C:\\Ty" + lost + "\\", "*.wmv",
         "info: " + messages::ProgramFolderNotCarried("C:\\Ty" + lost + "\\")},
    };
    for (const auto& row : rows) {
        fake.log.clear();
        programFolder = row.programFolder;
        fake.fields.targetPattern = row.pattern;
        EXPECT_EQ(Run(), RunEnd::Stopped) << row.what;
        EXPECT_EQ(fake.log, std::vector<std::string>{row.expected}) << row.what;
    }

    fake.log.clear();
    programFolder = "C:\\Tools\\";
    fake.fields.targetPattern = "*.wmv";
    fake.list.folder = "C:\\Kes" + lost;
    EXPECT_EQ(Run(), RunEnd::Stopped);
    EXPECT_EQ(fake.log, std::vector<std::string>{"info: " +
                                                 messages::ListFolderNotCarried("C:\\Kes" + lost)});
}

} // namespace
