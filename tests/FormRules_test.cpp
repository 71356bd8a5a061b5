// The window's rules under a recording view, on every system: what both windows decide.

#include "form/FormRules.h"

#include "engine/Messages.h"
#include "form/FormText.h"
#include "platform/DirectorySearch.h"
#include "platform/Folders.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

/// Controls as plain fields; every box and busy change is logged.
class FakeView final : public form::TFormView, public form::TListView {
public:
    std::string path, filter = "*.avi", treePath;
    bool selectAll = true, treeResolves = true;
    engine::Answer answer = engine::Answer::Yes;
    int pathChanges = 0, delay = -1;
    std::vector<std::string> log, shown;
    form::TFormRules* rules = nullptr;

    std::string PathText() const override { return path; }
    void SetPathText(const std::string& text) override {
        if (text == path)
            return;
        path = text;
        ++pathChanges;
        rules->PathChange();
    }
    std::string FilterText() const override { return filter; }
    bool SelectAllChecked() const override { return selectAll; }
    void SelectAllItems() override { log.push_back("select all"); }
    std::string TreeSelectedPath() const override { return treePath; }
    bool TreeCanResolve(const std::string&) override { return treeResolves; }
    void ShowInComboBox(const std::string&) override {}
    void SetTreeChangeDelay(int milliseconds) override { delay = milliseconds; }
    form::TSettings CurrentSettings() const override { return {}; }
    void ShowError(const std::string& text) override { log.push_back("error: " + text); }
    void ShowInformation(const std::string& text) override { log.push_back("info: " + text); }
    engine::Answer Ask(const std::string& text) override {
        log.push_back("ask: " + text);
        return answer;
    }
    void SetFilterIndex(int) override {}
    void SetFilterText(const std::string& text) override { filter = text; }
    void SetSelectAll(bool) override {}
    void SetMakeReturnFile(bool) override {}
    void SetTargetPattern(const std::string&) override {}
    void SetLeftPaneWidth(int) override {}
    void SetLeft(int) override {}
    void SetTop(int) override {}
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    void ShowItems(const std::vector<std::string>& names) override { shown = names; }
    void SetBusy(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
};

std::string Sep() {
    return std::string(1, platform::FolderSeparators()[0]);
}

class FormRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::CurrentFolder(previous);
        platform::FullPath(folder.str(), root);
        for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv"})
            folder.Write(name);
        std::filesystem::create_directories(folder.path() / "sub" / "sub");
    }
    void TearDown() override { platform::ChangeFolder(previous); }

    form::TFormRules& Make(std::vector<std::string> arguments) {
        form::FormSetup setup;
        setup.arguments = std::move(arguments);
        setup.settingsPath = platform::JoinPath(settings.str(), "Kronalo.dat");
        list = std::make_unique<form::FileListState>(view);
        rules = std::make_unique<form::TFormRules>(view, *list, std::move(setup));
        view.rules = rules.get();
        return *rules;
    }

    std::string previous, root;
    test::TempFolder folder, settings;
    FakeView view;
    std::unique_ptr<form::FileListState> list;
    std::unique_ptr<form::TFormRules> rules;
};

// Guards the command-line argument: its folder part opens, the path box shows it as given,
// anything else leaves the list where it was.
TEST_F(FormRulesTest, CommandLineArgument) {
    std::string start;
    platform::CurrentFolder(start);
    const struct {
        const char* what;
        std::string argument;
        std::string listFolder;
        std::string pathText;
    } rows[] = {
        {"a file path", root + Sep() + "clip01.avi", root, root + Sep()},
        {"a folder without its separator opens its parent", root + Sep() + "sub", root,
         root + Sep()},
        {"a folder with its separator", root + Sep() + "sub" + Sep(), root + Sep() + "sub",
         root + Sep() + "sub" + Sep()},
        {"a missing folder", root + Sep() + "gone" + Sep() + "x.avi", start, ""},
        {"a bare file name", "clip01.avi", start, ""},
    };
    for (const auto& row : rows) {
        platform::ChangeFolder(start);
        view.path.clear();
        form::TFormRules& made = Make({row.argument});
        made.FormShow();
        EXPECT_EQ(list->Folder(), row.listFolder) << row.what;
        EXPECT_EQ(view.path, row.pathText) << row.what;
    }
    EXPECT_TRUE(list->Items().empty()) << "a bare name opens nothing";
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

// Guards creation and closing: the tree's delay, the first start's settings file, and a close
// while a script runs: No keeps the window, Yes waits, then the settings are saved.
TEST_F(FormRulesTest, CreationAndClosing) {
    form::TFormRules& made = Make({});
    made.FormCreate();
    EXPECT_EQ(view.delay, 10);
    EXPECT_EQ(test::ReadAll(made.SettingsPath()),
              "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n");

    std::filesystem::remove(made.SettingsPath());
    int waited = 0;
    view.answer = engine::Answer::No;
    EXPECT_FALSE(made.FormCloseQuery(true, [&waited] { ++waited; }));
    view.answer = engine::Answer::Yes;
    EXPECT_TRUE(made.FormCloseQuery(true, [&waited] { ++waited; }));
    EXPECT_EQ(waited, 1);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"ask: " + std::string(form::text::kWaitBeforeClosing),
                                        "ask: " + std::string(form::text::kWaitBeforeClosing)}));
    EXPECT_TRUE(std::filesystem::exists(made.SettingsPath())) << "saved once the script ended";
}

} // namespace
