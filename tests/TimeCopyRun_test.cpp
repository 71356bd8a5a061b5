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
        bool yes;
        std::vector<std::string> expectedBoxes;
    } rows[] = {
        {"blank pattern is checked before the empty list",
         " \t ",
         {},
         {},
         true,
         {std::string(messages::kBlankPattern)}},
        {"empty list names the filter", "*.wmv", {}, {}, true, {messages::EmptyList("*.avi")}},
        {"No to select-all ends the run",
         "*.wmv",
         {"clip01.avi"},
         {false},
         false,
         {"ask: " + std::string(messages::kNothingSelected)}},
        {"target equal to source, after a good item",
         "*.avi",
         {"clip01.avi", "clip02.avi"},
         {true, true},
         true,
         {messages::TargetIsSource("clip01.avi")}},
        {"unreadable source after a good one",
         "*.wmv",
         {"clip01.avi", "gone.avi", "clip02.avi"},
         {true, true, true},
         true,
         {messages::TimesUnreadable("gone.avi")}},
        {"equal name wins over unreadable times",
         "*",
         {"gone"},
         {true},
         true,
         {messages::TargetIsSource("gone")}},
        {"Yes selects all, then the unreadable one stops it",
         "*.wmv",
         {"clip01.avi", "gone.avi"},
         {false, false},
         true,
         {"ask: " + std::string(messages::kNothingSelected),
          messages::TimesUnreadable("gone.avi")}},
        {"a source name with * would make its target a mask",
         "*.wmv",
         {"clip01.avi", "a*b.avi"},
         {true, true},
         true,
         {messages::SourceNameIsMask("a*b.avi")}},
        {"so would one with ?",
         "KUVA_*",
         {"x?.avi"},
         {true},
         true,
         {messages::SourceNameIsMask("x?.avi")}},
        {"a target named like the script, whose file the script would replace",
         "*.sh",
         {"clip01.avi", scriptStem + ".avi"},
         {true, true},
         true,
         {messages::TargetIsScript(scriptStem + ".sh")}},
        {"a target mask that matches the script's name",
         "*.s?",
         {scriptStem + ".avi"},
         {true},
         true,
         {messages::TargetIsScript(scriptStem + ".s?")}},
    };
    for (const auto& row : rows) {
        request.fields.targetPattern = row.pattern;
        request.list.items = row.items;
        request.list.selected = row.selected;
        EXPECT_EQ(Run(row.yes), RunEnd::Stopped) << row.what;
        EXPECT_EQ(boxes, row.expectedBoxes) << row.what;
        EXPECT_FALSE(std::filesystem::exists(ScriptPath())) << row.what;
    }

    // Named like the script but in a folder of its own, a target is no script.
    std::filesystem::create_directory(folder.path() / "sub");
    test::SetLastWrite(folder.Write(scriptStem + ".avi", "video"), 1141740309);
    request.fields.targetPattern = "sub/*.sh";
    request.list.items = {scriptStem + ".avi"};
    request.list.selected = {true};
    EXPECT_EQ(Run(), RunEnd::Started) << boxes.back();
}

bool OnPosix() {
    return platform::NativeCommandShell() == platform::CommandShell::Posix;
}

// Guards the mended lifetime and the verdict's evidence: kDone and the deletion wait for the
// script's end, and kDone comes only once the targets carry their sources' times.
TEST_F(TimeCopyRunTest, FinishesOnlyWhenTheScriptHasEnded) {
    ASSERT_EQ(Run(), RunEnd::Started);
    const std::string path = ScriptPath();
    EXPECT_EQ(boxes, std::vector<std::string>{messages::kScriptWritten});
    EXPECT_EQ(run->Run().file.Path(), path);
    // Where this disk keeps no creation time, the shell script leaves the creation lines out.
    platform::TimeKeeping keeping;
    ASSERT_FALSE(platform::TimeKeepingOf(folder.str(), keeping));
    EXPECT_EQ(stampCalls, keeping.creationSettable ? 4u : 2u);
    EXPECT_EQ(written.find(" /C /D ") != std::string::npos, keeping.creationSettable);
    if (OnPosix()) {
        EXPECT_EQ(environment,
                  (std::vector<std::pair<std::string, std::string>>{{"TZ", "<+000000>-00:00:00"}}))
            << "every Stamplet call keeps the run's offset";
    }
    EXPECT_TRUE(std::filesystem::exists(path)) << "the running script must stay";
    EXPECT_NE(written.find("'clip01.wmv'\n"), std::string::npos);
    EXPECT_EQ(written.find("clip02"), std::string::npos) << "clip02 is not selected";
    EXPECT_NE(written.find("'clip03.wmv'\n"), std::string::npos);
    EXPECT_NE(written.find("/W /D 03-07-2006 /T 14:05:09"), std::string::npos);

    // Silence is no evidence: a script that reported nothing and stamped nothing warns.
    for (const char* target : {"clip01.wmv", "clip03.wmv"})
        test::SetLastWrite(folder.Write(target), 1141740309);
    // With the note on creation times where this disk keeps none.
    const std::string verdict = End(ScriptOutcome{true, 0, 0, 0});
    EXPECT_TRUE(verdict.starts_with(messages::kDone)) << verdict;
    EXPECT_FALSE(std::filesystem::exists(path));

    // A run dropped before its end deletes its script without a word.
    ASSERT_EQ(Run(), RunEnd::Started);
    EXPECT_TRUE(std::filesystem::exists(path));
    run.reset();
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Guards the note on fractions: where a selected source's time holds a fraction of a second, the
// verdict says after its own text that the times were set to the second.
TEST_F(TimeCopyRunTest, NotesFractionsDropped) {
    const struct {
        const char* what;
        int clip01Ms;
        int clip02Ms;
        bool note;
    } rows[] = {
        {"whole seconds", 0, 0, false},
        {"a quarter second", 250, 0, true},
        {"a fraction on a source not selected", 0, 250, false},
    };
    // The creation time too, where the disk keeps one: a fresh file's has a fraction.
    const auto set = [&](const char* name, int milliseconds) {
        platform::FileTimeChange change;
        change.creation = change.lastWrite =
            platform::kUnixEpochFileTime +
            static_cast<platform::FileTime>(1141740309000LL + milliseconds) * 10000;
        bool creationNotKept = false;
        ASSERT_FALSE(
            platform::SetFileTimes(test::TextOf(folder.path() / name), change, creationNotKept));
    };
    for (const auto& row : rows) {
        set("clip01.avi", row.clip01Ms);
        set("clip02.avi", row.clip02Ms);
        ASSERT_EQ(Run(), RunEnd::Started) << row.what;
        for (const char* target : {"clip01.wmv", "clip03.wmv"})
            test::SetLastWrite(folder.Write(target), 1141740309);
        const std::string verdict = End(ScriptOutcome{});
        EXPECT_TRUE(verdict.starts_with(messages::kDone)) << row.what << ": " << verdict;
        EXPECT_EQ(verdict.ends_with(std::string("\r\r") + messages::kFractionDropped), row.note)
            << row.what << ": " << verdict;
    }
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
                  std::string(messages::kCreationLeftAlone));

    // A stopped run counts the targets it never came to apart, and names none of them.
    engine::TargetReport stopped;
    stopped.stamped = 2;
    stopped.notReached = 3;
    stopped.creationNotKept = 2;
    EXPECT_EQ(messages::RunVerdict(false, stopped, true),
              "VAROITUS! Ajo keskeytettiin käyttäjän pyynnöstä.\r\rAjat asetettu: 2\rAikoja ei "
              "asetettu: 0\rKohdetiedostoa ei löytynyt: 0\rKäsittelemättä keskeytyksen vuoksi: "
              "3\r\r" +
                  std::string(messages::kCreationLeftAlone));

    engine::TargetReport many;
    many.notFound = 12;
    for (int i = 0; i < 12; ++i)
        many.problems.emplace_back("t" + std::to_string(i), TargetState::NotFound);
    const std::string text = messages::RunVerdict(true, many);
    EXPECT_TRUE(text.starts_with("VAROITUS! Kaikkien tiedostojen aikoja ei voitu asettaa."));
    EXPECT_NE(text.find("\rt9: ei löytynyt\r... ja 2 muuta"), std::string::npos) << text;
    EXPECT_EQ(text.find("t10"), std::string::npos);
}

// Guards the pairs' details: the counts, then one line per pair, where no name can reorder its
// line or start one that reads like another pair; the marks follow the time.
TEST(PairDetailsTest, OneLinePerPair) {
    using Mark = messages::PairLine::Mark;
    const engine::CalendarTime when{2005, 1, 15, 14, 3, 9, 0};
    const struct {
        const char* what;
        messages::PairLine pair;
        std::string line;
    } rows[] = {
        {"plain pair", {"a.avi", "a.wmv", when}, "a.avi -> a.wmv: 15.1.2005 klo 14.03.09"},
        {"missing target",
         {"a.avi", "a.wmv", when, Mark::Missing},
         "a.avi -> a.wmv: 15.1.2005 klo 14.03.09 [puuttuu]"},
        {"restore without a source",
         {"", "a.wmv", when, Mark::AlreadySo},
         "a.wmv: 15.1.2005 klo 14.03.09 [aika on jo sama]"},
        {"right-to-left override in the source",
         {"x\u202Eiva.avi", "x.wmv", when},
         "x<U+202E>iva.avi -> x.wmv: 15.1.2005 klo 14.03.09"},
        {"line break in the target",
         {"a.avi", "a.wmv: 1.1.2000 klo 00.00.00\rb.avi -> b.wmv", when},
         "a.avi -> a.wmv: 1.1.2000 klo 00.00.00<U+000D>b.avi -> b.wmv: 15.1.2005 klo 14.03.09"},
        {"line feed and a byte outside UTF-8",
         {"a\n.avi", "\xFF.wmv", when},
         "a<U+000A>.avi -> <0xFF>.wmv: 15.1.2005 klo 14.03.09"},
        {"left alone",
         {"", "\u2066a.wmv", when, Mark::LeftAlone, engine::TargetState::ChangedSince},
         "<U+2066>a.wmv: muutettu ajon jälkeen, jätetty ennalleen"},
    };
    for (const auto& row : rows) {
        const std::string text = messages::PairDetails({row.pair});
        const std::size_t end = text.find('\r');
        ASSERT_NE(end, std::string::npos) << row.what;
        EXPECT_EQ(text.substr(end + 1), "\r" + row.line) << row.what;
    }
}

// Guards the endings after the checks: a warning with its evidence, ScriptNotDeleted, a failed
// start, and a script that cannot be created, on the real disk too.
TEST_F(TimeCopyRunTest, EndingsAfterTheChecks) {
    const std::string path = ScriptPath();

    // One second off on a disk that keeps whole seconds is not the time wanted.
    test::SetLastWrite(folder.Write("clip03.wmv"), 1141740309 + 1);
    ASSERT_EQ(Run(), RunEnd::Started);
    engine::TargetReport report;
    report.notStamped = report.notFound = 1;
    report.problems = {{"clip01.wmv", engine::TargetState::NotFound},
                       {"clip03.wmv", engine::TargetState::WriteTimeDiffers}};
    EXPECT_EQ(End(ScriptOutcome{true, 2, 0, 0}), messages::RunVerdict(true, report));

    // Real refusals of the disk: nothing is left behind and the box names the script.
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
        request.list = {row.folder, {"clip01.avi"}, {true}};
        const auto before = std::distance(std::filesystem::directory_iterator(row.folder), {});
        EXPECT_EQ(Run(), RunEnd::NotWritten) << row.what;
        EXPECT_EQ(boxes.back(), "Cannot create file " + script->ScriptPath(row.folder) + "\r" +
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
    EXPECT_EQ(boxes,
              std::vector<std::string>{messages::StampletMissing(programFolder + "Stamplet")});

    programs.Write("Stamplet");
    const engine::FixedZone noZone(std::nullopt);
    const engine::Prepared refused =
        engine::PrepareTimeCopy({programFolder, *script, noZone}, request);
    ASSERT_TRUE(std::holds_alternative<engine::Box>(refused));
    EXPECT_EQ(std::get<engine::Box>(refused), engine::Box::Information(messages::kZoneUnreadable));
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
    request.fields.targetPattern = "* – ø.wmv";
    ASSERT_EQ(Run(), RunEnd::Started);
    // The names come first; a fixed zone may follow.
    ASSERT_GE(environment.size(), 3u);
    environment.resize(3);
    EXPECT_EQ(environment,
              (engine::ScriptEnvironment{{"KRONALO_NAME_1", programFolder + "Stamplet.exe"},
                                         {"KRONALO_NAME_2", "clip01 – ø.wmv"},
                                         {"KRONALO_NAME_3", "clip03 – ø.wmv"}}));
    EXPECT_NE(written.find("\"%KRONALO_NAME_1%\" /W /D 03-07-2006 /T 14:05:09 "
                           "\"%KRONALO_NAME_2%\"\r\n"),
              std::string::npos)
        << written;
    run.reset();

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
         messages::TargetNotCarried("clip01.avi", "clip01\".wmv")},
        {"the script's own name",
         "*.BAT",
         {scriptStem + ".avi"},
         messages::TargetIsScript(scriptStem + ".BAT")},
    };
    for (const auto& row : refused) {
        request.fields.targetPattern = row.pattern;
        request.list.items = row.items;
        request.list.selected = {true};
        EXPECT_EQ(Run(), RunEnd::Stopped) << row.what;
        EXPECT_EQ(boxes, std::vector<std::string>{row.expected}) << row.what;
    }
}

} // namespace
