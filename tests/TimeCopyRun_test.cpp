#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"
#include "platform/CommandShell.h"
#include "platform/FileTimes.h"

#include "TempFolder.h"
#include "TimeCopyRunFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace test;
namespace messages = engine::messages;

// Guards the order of the checks and that a refused run writes and starts nothing.
TEST_F(TimeCopyRunTest, ChecksStopTheRunInOrder) {
    // A source named like the folder's stamp script, as its target would be.
    const std::string scriptStem = folder.path().filename().string() + " FileDateAndTime File";
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
        {"a target named like the script, whose file the script would replace",
         "*.sh",
         {"clip01.avi", scriptStem + ".avi"},
         {true, true},
         Answer::Yes,
         {"info: " + messages::TargetIsScript(scriptStem + ".sh")}},
        {"a target mask that matches the script's name",
         "*.s?",
         {scriptStem + ".avi"},
         {true},
         Answer::Yes,
         {"info: " + messages::TargetIsScript(scriptStem + ".s?")}},
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

bool OnPosix() {
    return platform::NativeCommandShell() == platform::CommandShell::Posix;
}

// Guards the mended lifetime and the verdict's evidence: kDone and the deletion wait for the
// script's end, and kDone comes only once the targets carry their sources' times.
TEST_F(TimeCopyRunTest, FinishesOnlyWhenTheScriptHasEnded) {
    ASSERT_EQ(Run(), RunEnd::Started);
    const std::string path = ScriptPath();
    const std::vector<std::string> beforeEnd = {"write: " + path,
                                                "info: " + std::string(messages::kScriptWritten),
                                                "start: " + path + " in " + folder.str()};
    EXPECT_EQ(fake.log, beforeEnd);
    // Where this disk keeps no creation time, the shell script leaves the creation lines out.
    platform::TimeKeeping keeping;
    ASSERT_FALSE(platform::TimeKeepingOf(folder.str(), keeping));
    EXPECT_EQ(fake.stampCalls, keeping.creationSettable ? 4u : 2u);
    EXPECT_EQ(fake.written.find(" /C /D ") != std::string::npos, keeping.creationSettable);
    if (OnPosix()) {
        EXPECT_EQ(fake.environment,
                  (std::vector<std::pair<std::string, std::string>>{{"TZ", "<+000000>-00:00:00"}}))
            << "every Stamplet call keeps the run's offset";
    }
    EXPECT_TRUE(std::filesystem::exists(path)) << "the running script must stay";
    EXPECT_EQ(test::ReadAll(path), fake.written);
    EXPECT_NE(fake.written.find("'clip01.wmv'\n"), std::string::npos);
    EXPECT_EQ(fake.written.find("clip02"), std::string::npos) << "clip02 is not selected";
    EXPECT_NE(fake.written.find("'clip03.wmv'\n"), std::string::npos);
    EXPECT_NE(fake.written.find("/W /D 03-07-2006 /T 14:05:09"), std::string::npos);

    // Silence is no evidence: a script that reported nothing and stamped nothing warns.
    for (const char* target : {"clip01.wmv", "clip03.wmv"})
        test::SetLastWrite(folder.Write(target), 1141740309);
    fake.ended(ScriptOutcome{true, 0, 0, 0});
    ASSERT_EQ(fake.log.size(), 6u);
    EXPECT_EQ(fake.log[3], "beep");
    // With the note on creation times where this disk keeps none.
    EXPECT_TRUE(fake.log[4].starts_with("info: " + std::string(messages::kDone))) << fake.log[4];
    EXPECT_EQ(fake.log[5], "delete: " + path);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Guards the verdict's texts: counts, each target that was not stamped and why, the note on
// creation times, and a list cut short.
TEST(RunVerdictTest, NamesWhatWasNotStamped) {
    using engine::TargetState;
    engine::TargetReport report;
    report.stamped = 1;
    report.notStamped = 2;
    report.notFound = 1;
    report.creationNotKept = 1;
    report.problems = {{"a.wmv", TargetState::Folder},
                       {"b.wmv", TargetState::WriteTimeDiffers},
                       {"c.wmv", TargetState::NotFound}};
    EXPECT_EQ(messages::RunVerdict(false, report),
              "VAROITUS! Väliaikaistiedoston ajo keskeytyi ennen loppuaan.\r\rAjat asetettu: "
              "1\rAikoja ei asetettu: 2\rKohdetiedostoa ei löytynyt: 1\r\ra.wmv: on kansio, jota "
              "ei leimata\rb.wmv: muokkausaikaa ei saatu asetettua\rc.wmv: ei löytynyt\r\r" +
                  std::string(messages::kCreationNotKept));

    engine::TargetReport many;
    many.notFound = 12;
    for (int i = 0; i < 12; ++i)
        many.problems.emplace_back("t" + std::to_string(i), TargetState::NotFound);
    const std::string text = messages::RunVerdict(true, many);
    EXPECT_TRUE(text.starts_with("VAROITUS! Kaikkien tiedostojen aikoja ei voitu asettaa."));
    EXPECT_NE(text.find("\rt9: ei löytynyt\r... ja 2 muuta"), std::string::npos) << text;
    EXPECT_EQ(text.find("t10"), std::string::npos);
}

// Guards the endings after the checks: a warning with its evidence, ScriptNotDeleted, a failed
// start, and a script that cannot be created, on the real disk too.
TEST_F(TimeCopyRunTest, EndingsAfterTheChecks) {
    const std::string path = ScriptPath();

    fake.canDelete = false;
    // One second off on a disk that keeps whole seconds is not the time wanted.
    test::SetLastWrite(folder.Write("clip03.wmv"), 1141740309 + 1);
    ASSERT_EQ(Run(), RunEnd::Started);
    fake.log.clear();
    fake.ended(ScriptOutcome{true, 2, 0, 0});
    engine::TargetReport report;
    report.notStamped = report.notFound = 1;
    report.problems = {{"clip01.wmv", engine::TargetState::NotFound},
                       {"clip03.wmv", engine::TargetState::WriteTimeDiffers}};
    EXPECT_EQ(fake.log, (std::vector<std::string>{
                            "beep", "info: " + messages::RunVerdict(true, report),
                            "delete: " + path, "info: " + messages::ScriptNotDeleted(path)}));
    fake.ended = nullptr; // Lets go of the script, as the console does once it has called.
    std::filesystem::remove(path);

    fake.canDelete = true;
    fake.canStart = false;
    fake.log.clear();
    ASSERT_EQ(Run(), RunEnd::NotStarted);
    EXPECT_EQ(
        std::vector<std::string>(fake.log.begin() + 3, fake.log.end()),
        (std::vector<std::string>{"info: " + messages::ScriptNotStarted(path), "delete: " + path}));
    EXPECT_FALSE(std::filesystem::exists(path));

    fake.writeFailure = std::errc::no_space_on_device;
    fake.log.clear();
    ASSERT_EQ(Run(), RunEnd::NotWritten);
    EXPECT_EQ(fake.log, (std::vector<std::string>{
                            "write: " + path,
                            "error: Cannot create file " + path + "\r" +
                                std::make_error_code(std::errc::no_space_on_device).message()}));

    // Real refusals of the disk: nothing is left behind and the box names the script.
    fake.writeFailure.reset();
    if (!OnPosix())
        return;
    const test::TempFolder longName;
    const std::filesystem::path deep = longName.path() / std::string(240, 'k');
    std::filesystem::create_directory(deep);
    std::filesystem::copy(folder.path() / "clip01.avi", deep / "clip01.avi");
    std::filesystem::create_directory(path);
    const struct {
        const char* what;
        std::string folder;
        std::errc reason;
    } disks[] = {
        {"a folder at the script's name", folder.str(), std::errc::is_a_directory},
        {"a name too long", deep.string(), std::errc::filename_too_long},
    };
    for (const auto& row : disks) {
        fake.list = {row.folder, {"clip01.avi"}, {true}};
        const auto before = std::distance(std::filesystem::directory_iterator(row.folder), {});
        fake.log.clear();
        EXPECT_EQ(Run(), RunEnd::NotWritten) << row.what;
        EXPECT_EQ(fake.LastBox(), "Cannot create file " + script->ScriptPath(row.folder) + "\r" +
                                      std::make_error_code(row.reason).message())
            << row.what;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(row.folder), {}), before)
            << row.what;
    }
}

// Guards the checks of what the script relies on: Stamplet in the program folder and a zone
// that can be asked; each stops the run before anything is written.
TEST_F(TimeCopyRunTest, ChecksOfWhatTheScriptNeeds) {
    std::filesystem::remove(programs.path() / "Stamplet");
    EXPECT_EQ(Run(), RunEnd::Stopped);
    EXPECT_EQ(fake.log, (std::vector<std::string>{
                            "info: " + messages::StampletMissing(programFolder + "Stamplet")}));

    programs.Write("Stamplet");
    fake.log.clear();
    const engine::FixedZone noZone(std::nullopt);
    EXPECT_EQ(engine::RunTimeCopy(fake, {programFolder, *script, noZone}, fake.Request()),
              RunEnd::Stopped);
    EXPECT_EQ(fake.log,
              (std::vector<std::string>{"info: " + std::string(messages::kZoneUnreadable)}));
    EXPECT_FALSE(std::filesystem::exists(ScriptPath()));
}

// Guards the batch dialect's names: a letter the console's code page lacks, in a target name or
// the program folder, does not stop the run but reaches Stamplet through the script's
// environment, exactly; a name that would end the script's quotes is refused, and so is a target
// named like the batch script, in any letter case, as Windows names files.
TEST_F(TimeCopyRunTest, BatchNames) {
    script = engine::MakeBatchScript();
    const std::filesystem::path other = programs.path() / "Työkaluø";
    std::filesystem::create_directory(other);
    std::ofstream(other / "Stamplet.exe").close();
    programFolder = other.string() + "/";
    fake.fields.targetPattern = "* – ø.wmv";
    ASSERT_EQ(Run(), RunEnd::Started);
    // The names come first; a fixed zone may follow.
    ASSERT_GE(fake.environment.size(), 3u);
    fake.environment.resize(3);
    EXPECT_EQ(fake.environment,
              (engine::ScriptEnvironment{{"KRONALO_NAME_1", programFolder + "Stamplet.exe"},
                                         {"KRONALO_NAME_2", "clip01 – ø.wmv"},
                                         {"KRONALO_NAME_3", "clip03 – ø.wmv"}}));
    EXPECT_NE(fake.written.find("\"%KRONALO_NAME_1%\" /W /D 03-07-2006 /T 14:05:09 "
                                "\"%KRONALO_NAME_2%\"\r\n"),
              std::string::npos)
        << fake.written;
    fake.ended = nullptr;
    std::filesystem::remove(ScriptPath());

    programFolder = programs.str() + "/";
    const std::string scriptStem = folder.path().filename().string() + " FileDateAndTime File";
    const struct {
        const char* what;
        std::string pattern;
        std::vector<std::string> items;
        std::string expected;
    } refused[] = {
        {"a quote would end the name",
         "*\".wmv",
         {"clip01.avi"},
         "info: " + messages::TargetNotCarried("clip01.avi", "clip01\".wmv")},
        {"the script's own name",
         "*.BAT",
         {scriptStem + ".avi"},
         "info: " + messages::TargetIsScript(scriptStem + ".BAT")},
    };
    for (const auto& row : refused) {
        fake.log.clear();
        fake.fields.targetPattern = row.pattern;
        fake.list.items = row.items;
        fake.list.selected = {true};
        EXPECT_EQ(Run(), RunEnd::Stopped) << row.what;
        EXPECT_EQ(fake.log, std::vector<std::string>{row.expected}) << row.what;
    }
}

} // namespace
