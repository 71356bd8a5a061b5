// The window's rules under a recording view, on every system: what both windows decide.

#include "form/FormRules.h"

#include "engine/CodePage.h"
#include "engine/Messages.h"
#include "engine/ScriptText.h"
#include "form/FormText.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "platform/Folders.h"

#include "FakeView.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using test::FakeView;

std::string Sep() {
    return std::string(1, platform::FolderSeparators()[0]);
}

class FormRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(platform::CurrentFolder(previous));
        ASSERT_FALSE(platform::FullPath(folder.str(), root));
        for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv"})
            folder.Write(name);
        std::filesystem::create_directories(folder.path() / "sub" / "sub");
    }
    void TearDown() override { EXPECT_FALSE(platform::ChangeFolder(previous)); }

    form::TFormRules& Make(std::vector<std::string> arguments) {
        form::FormSetup setup;
        setup.arguments = std::move(arguments);
        setup.settingsPath = platform::JoinPath(settings.str(), "Kronalo.dat");
        list = std::make_unique<form::FileListState>(view);
        rules = std::make_unique<form::TFormRules>(view, *list, std::move(setup));
        view.rules = rules.get();
        return *rules;
    }

    /// Runs `text` as a script of 4 Stamplet calls, with the creation-time note and a note, in
    /// the console of `made`, handling what it posts until its end has reached the window's thread
    /// (true) or a while has passed (false); the outcome handed to the run goes to `outcome`.
    bool RunInConsole(form::TFormRules& made, const std::string& text,
                      engine::ScriptOutcome& outcome) {
        platform::HeldFolder held;
        platform::HeldFile script;
        if (held.Hold(folder.str()) || script.Write(held, "script.bat", "script.bat", text) ||
            !made.Console().Start({script, held, 4, true, {}, "A note.", {}},
                                  [&outcome](const engine::ScriptOutcome& o) { outcome = o; })) {
            ADD_FAILURE() << "the script was not started";
            return false;
        }
        for (int i = 0; i < 1000 && made.Console().IsRunning(); ++i) {
            view.RunPosted();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const bool ended = !made.Console().IsRunning();
        // The held script goes away here; nothing may read it after.
        made.Console().Abandon();
        EXPECT_FALSE(script.Remove());
        return ended;
    }

    std::string previous, root;
    test::TempFolder folder, settings;
    FakeView view;
    std::unique_ptr<form::FileListState> list;
    std::unique_ptr<form::TFormRules> rules;
};

// Guards the command-line argument: a folder, or a file's folder part, opens, the path box shows
// it with its separator, anything else leaves the list where it was.
TEST_F(FormRulesTest, CommandLineArgument) {
    std::string start;
    ASSERT_FALSE(platform::CurrentFolder(start));
    const struct {
        const char* what;
        std::string argument;
        std::string listFolder;
        std::string pathText;
    } rows[] = {
        {"a file path", root + Sep() + "clip01.avi", root, root + Sep()},
        {"a folder without its separator", root + Sep() + "sub", root + Sep() + "sub",
         root + Sep() + "sub" + Sep()},
        {"a folder with its separator", root + Sep() + "sub" + Sep(), root + Sep() + "sub",
         root + Sep() + "sub" + Sep()},
        {"a missing folder", root + Sep() + "gone" + Sep() + "x.avi", start, ""},
        {"a bare file name", "clip01.avi", start, ""},
    };
    for (const auto& row : rows) {
        ASSERT_FALSE(platform::ChangeFolder(start));
        view.path.clear();
        form::TFormRules& made = Make({row.argument});
        made.FormShow();
        EXPECT_EQ(list->Folder(), row.listFolder) << row.what;
        EXPECT_EQ(view.path, row.pathText) << row.what;
    }
    EXPECT_TRUE(list->Items().empty()) << "a bare name opens nothing";
}

// Guards what the command line has printed in place of the window: the help and the version as
// the first argument only, so that a path never turns into an option.
TEST(AnswerWithoutWindowTest, FirstArgumentOnly) {
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        const char* answer;
    } rows[] = {
        {"--help", {"--help"}, form::text::kUsage},
        {"--version", {"--version", "clip01.avi"}, form::text::kVersionLine},
        {"no argument", {}, nullptr},
        {"a path", {"./--help"}, nullptr},
        {"--help after a path", {"clips", "--help"}, nullptr},
        {"another option", {"-h"}, nullptr},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(form::AnswerWithoutWindow(row.arguments), row.answer) << row.what;
}

// Guards the path box and the tree: a relative name counts from the list folder and is entered
// twice, a text that names no folder changes nothing, a folder the shell cannot resolve brings
// the error, and a tree pick without a folder leaves the list where it is.
TEST_F(FormRulesTest, PathBoxAndTree) {
    form::TFormRules& made = Make({});
    list->MoveTo(root);
    view.path = "sub";
    made.PathChange();
    EXPECT_EQ(list->Folder(), root + Sep() + "sub" + Sep() + "sub") << "entered twice";
    EXPECT_EQ(view.shown, std::vector<std::string>{});

    view.path = root + Sep() + "no such folder";
    made.PathChange();
    EXPECT_EQ(list->Folder(), root + Sep() + "sub" + Sep() + "sub");

    view.path = root;
    view.treeResolves = false;
    view.log.clear();
    made.PathKeyUp();
    EXPECT_EQ(view.log,
              std::vector<std::string>{
                  "error: " + engine::messages::Filled(engine::messages::kErrorSettingPath, root)});

    made.PathChange();
    view.treePath = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    view.log.clear();
    made.TreeViewChange();
    EXPECT_EQ(list->Folder(), root) << "a virtual folder leaves the list folder";
    EXPECT_EQ(view.shown, (std::vector<std::string>{"clip01.avi", "clip02.avi"}));
    EXPECT_EQ(view.log, std::vector<std::string>{"select all"});
}

// Guards the busy pointer: shown once the 101st name is read, and put back at the end.
TEST_F(FormRulesTest, BusyPointer) {
    Make({});
    list->MoveTo(root);
    for (int i = 0; i < 99; ++i)
        folder.Write("many" + std::to_string(i) + ".avi");
    view.log.clear();
    list->SetMask("*.avi");
    EXPECT_EQ(view.shown.size(), 101u);
    EXPECT_EQ(view.log, (std::vector<std::string>{"busy", "idle"}));
    std::filesystem::remove(folder.path() / "many0.avi");
    view.log.clear();
    list->ReadFolder();
    EXPECT_TRUE(view.log.empty());
}

/// A script in the system's command language that prints `lines`, one echo each, and then, where
/// `gate` is given, waits until that file exists.
std::string EchoScript(const std::vector<std::string>& lines, const std::string& gate = {}) {
    const bool batch = platform::NativeCommandShell() == platform::CommandShell::Cmd;
    std::string script = batch ? "@echo off\r\n" : "";
    for (const std::string& line : lines)
        script += "echo " + line + (batch ? "\r\n" : "\n");
    if (!gate.empty())
        script += batch ? ":wait\r\nif not exist \"" + gate + "\" goto wait\r\n"
                        : "while [ ! -e '" + gate + "' ]; do :; done\n";
    return script;
}

// Guards creation and closing: the tree's delay, the first start's settings file, and a close
// while a script runs: No keeps the window, Yes waits for the script's end, then the settings
// are saved.
TEST_F(FormRulesTest, CreationAndClosing) {
    form::TFormRules& made = Make({});
    made.FormCreate();
    EXPECT_EQ(view.delay, 10);
    EXPECT_EQ(test::ReadAll(made.SettingsPath()),
              "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n");

    // A settings file far larger than any the program writes is read no further than its bound.
    // Wine's file system takes no file of a terabyte, sparse or not.
    std::error_code tooLarge;
    std::filesystem::resize_file(made.SettingsPath(), std::uintmax_t{1} << 40, tooLarge);
    if (!tooLarge) {
        made.LoadSettings();
        EXPECT_EQ(view.log, std::vector<std::string>{});
    }

    std::filesystem::remove(made.SettingsPath());
    const std::string gate = (folder.path() / "go").string();
    platform::HeldFolder held;
    platform::HeldFile script;
    ASSERT_FALSE(held.Hold(folder.str()));
    ASSERT_FALSE(script.Write(held, "script.bat", "script.bat", EchoScript({"waiting"}, gate)));
    int ended = 0;
    ASSERT_TRUE(made.Console().Start({script, held, 0, false, {}, {}, {}},
                                     [&ended](const engine::ScriptOutcome&) { ++ended; }));
    view.answer = form::Answer::No;
    EXPECT_FALSE(made.FormCloseQuery());
    EXPECT_TRUE(made.Console().IsRunning());
    folder.Write("go");
    view.answer = form::Answer::Yes;
    EXPECT_TRUE(made.FormCloseQuery());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"ask: " + std::string(form::text::kWaitBeforeClosing),
                                        "ask: " + std::string(form::text::kWaitBeforeClosing)}));
    EXPECT_TRUE(std::filesystem::exists(made.SettingsPath())) << "saved once the script ended";
}

// Guards the console of both windows: Stamplet's reports counted into the progress and the
// summary, the rest shown as it came, the creation-time note, and the outcome handed to the run on
// the window's thread. The script finished only where its done line came last and its process
// ended of itself, whatever its exit status: a batch file's is its last Stamplet call's.
TEST_F(FormRulesTest, ConsoleCountsTheScriptsReports) {
    const bool batch = platform::NativeCommandShell() == platform::CommandShell::Cmd;
    const std::string done =
        batch ? engine::AnsiToOemText(engine::AnsiFromUtf8(engine::script_text::kDone))
              : engine::script_text::kDone;
    const std::vector<std::string> lines = {
        "Stamplet verion 1.00",
        "File a.wmv date/time changed succesfully",
        "Cannot change date/time of b.wmv -- file ignored",
        "No files found.",
        "File c.wmv date/time changed succesfully",
    };
    const struct {
        const char* what;
        bool doneLine;
        const char* batchEnd;
        const char* shellEnd;
        bool finished;
    } rows[] = {
        {"the done line last", true, "", "", true},
        {"a failed last call's status", true, "exit /b 1", "exit 1", true},
        {"stopped before its end", false, "exit /b 1", "exit 1", false},
        // 0xC000013A, the status of a process ended by a break or its console's close.
        {"killed after its done line", true, "exit /b -1073741510", "kill -KILL $$", false},
    };
    for (const auto& row : rows) {
        form::TFormRules& made = Make({});
        std::vector<std::string> echoed = lines;
        if (row.doneLine)
            echoed.push_back(done);
        std::string text = EchoScript(echoed);
        const char* ending = batch ? row.batchEnd : row.shellEnd;
        if (*ending)
            text += ending + std::string(batch ? "\r\n" : "\n");
        view.console.log.clear();
        view.console.output.clear();
        engine::ScriptOutcome outcome;
        outcome.changed = 99;
        ASSERT_TRUE(RunInConsole(made, text, outcome))
            << row.what << ": the script's end reaches the window's thread";
        EXPECT_EQ(outcome.changed, 2u) << row.what;
        EXPECT_EQ(outcome.cannotChange, 1u) << row.what;
        EXPECT_EQ(outcome.notFound, 1u) << row.what;
        EXPECT_EQ(outcome.finished, row.finished) << row.what;
        std::string output = view.console.output;
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        std::string expected;
        for (const std::string& line : lines)
            expected += line + "\n";
        EXPECT_TRUE(output.starts_with(expected)) << row.what << ":\n" << output;
        ASSERT_GE(view.console.log.size(), 3u) << row.what;
        EXPECT_EQ(view.console.log.front(), "begin 4: " + std::string(form::text::kConsoleRunning))
            << row.what;
        EXPECT_EQ(view.console.log[view.console.log.size() - 2], "done 4") << row.what;
        EXPECT_EQ(view.console.log.back(),
                  "end: Valmis. Ajat asetettu tiedostoihin: 2. Aikoja ei voitu muuttaa: 1. "
                  "Kohdetiedostoa ei löytynyt: 1.\r" +
                      (row.finished ? "" : std::string(form::text::kConsoleInterrupted) + "\r") +
                      engine::messages::kCreationNotKept + "\rA note.")
            << row.what;
    }
}

} // namespace
