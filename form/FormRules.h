#pragma once

#include "engine/RunRecord.h"
#include "engine/StampScript.h"
#include "engine/Zone.h"
#include "form/FileListState.h"
#include "form/FormView.h"
#include "form/RunOwner.h"

#include <memory>
#include <string>
#include <vector>

namespace form {

/// What the command line asks to be printed in place of the window: the help where its first
/// argument is "--help", the version where it is "--version"; null where the window opens.
const char* AnswerWithoutWindow(const std::vector<std::string>& arguments);

/// What a window is built with.
struct FormSetup {
    /// The command line's arguments after the program.
    std::vector<std::string> arguments;
    /// The settings file; empty for its usual place (see SettingsPath).
    std::string settingsPath;
    /// Stamplet's folder, ending with a separator; empty for the program's own folder.
    std::string programFolder;
    /// Where the settings go when the program folder is not the user's to write in.
    std::string configFolder;
    /// The end of an installed copy's program folder ("/lib/kronalo/"); empty where there is
    /// no such thing.
    std::string installedFolder;
    /// The zone the run takes its offset from; the machine's where null.
    const engine::Zone* zone = nullptr;
    /// Where the runs' records are kept; empty for the user's own state folder.
    std::string recordFolder;
};

/// The window's decisions, the same under both windows: the three views of the current folder
/// kept in step, the command-line argument, creation and closing, the settings file, and which
/// run the run button and the popup menu hand to the run's owner. Each window builds its controls
/// and forwards their events here.
class TFormRules {
public:
    /// The view's console must stand from here on.
    TFormRules(TFormView& view, FileListState& list, FormSetup setup);
    ~TFormRules();
    TFormRules(const TFormRules&) = delete;
    TFormRules& operator=(const TFormRules&) = delete;

    /// After the controls are built and the tree has made its first pick: the tree's change
    /// delay, the program folder, the settings file.
    void FormCreate();
    /// Once, when the window is first shown: the command-line argument's folder.
    void FormShow();
    /// After the tree's change delay: the list follows the tree, the path box the list.
    void TreeViewChange();
    /// On every change of the path box's text: the list follows a text that names a folder.
    void PathChange();
    /// After a key is released in the path box: the shell must be able to resolve the folder.
    void PathKeyUp();
    /// On every edit and pick of the filter box.
    void FilterChange();
    /// Selects every item if the automatic-selection option is checked.
    void SelectAllIfAsked();
    /// The run button: the run's request from the list and the fields as they stand; refused
    /// while a script of this window still runs. With the hidden option checked, what the run
    /// changes is recorded first.
    void DoItBtnClick();
    /// The popup menu's "Palauta aiemmat ajat...": a recorded run of the list folder taken back;
    /// refused while a script of this window still runs.
    void RestoreEarlierTimes();
    /// Asked before the window closes: a running script is waited for or the window stays; then
    /// the settings are saved. True lets the window close.
    bool FormCloseQuery();
    /// The session ends, or the program is told to stop: a running script is waited for without a
    /// word, every script of this window is deleted and the settings are saved.
    void SessionEnds();
    /// The process ends while the window is still up: the scripts of the runs that have not
    /// finished are deleted without waiting, each by its identity. Returns how many there were.
    std::size_t ProcessEnds() { return runs_.DropUnfinished(); }

    /// The console of this window's scripts.
    StampConsole& Console() { return runs_.Console(); }

    /// The console is closed: RunOwner::ConsoleCloseQuery. True lets it close.
    bool ConsoleCloseQuery();

    void LoadSettings();
    void SaveSettings();

    /// Where the runs' records are kept.
    const std::string& RecordFolder() const { return records_.Folder(); }

    const std::string& SettingsPath() const { return settingsPath_; }
    const std::string& ProgramFolder() const { return programFolder_; }

private:
    engine::RunContext Context() const;
    /// True, with the box that says so, where a run's script is still going: one run at a time.
    bool RunStillGoing();

    TFormView& view_;
    FileListState& list_;
    FormSetup setup_;
    std::string settingsPath_;
    std::string programFolder_;
    std::unique_ptr<engine::StampScript> script_;
    engine::RunRecords records_{""};
    RunOwner runs_;
};

} // namespace form
