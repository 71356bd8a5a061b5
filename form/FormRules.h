#pragma once

#include "engine/StampScript.h"
#include "engine/TimeCopyRun.h"
#include "engine/Zone.h"
#include "form/FileListState.h"
#include "form/SettingsFile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace form {

/// What the window's rules need of its controls and boxes; each window gives its own.
class TFormView : public TSettingsTarget {
public:
    /// The path box's text, as file-system bytes.
    virtual std::string PathText() const = 0;
    /// Sets the path box's text. Where that changes the text, the window runs PathChange, as it
    /// does for typing.
    virtual void SetPathText(const std::string& text) = 0;
    /// The filter box's text.
    virtual std::string FilterText() const = 0;
    /// The automatic-selection option.
    virtual bool SelectAllChecked() const = 0;
    /// Selects every item of the file list.
    virtual void SelectAllItems() = 0;
    /// The folder tree's selected folder as the shell's parsing path; empty when none.
    virtual std::string TreeSelectedPath() const = 0;
    /// True when the shell resolves `path` to a folder of the tree; the tree's selection stays.
    virtual bool TreeCanResolve(const std::string& path) = 0;
    /// Shows the list folder in the folder drop-down.
    virtual void ShowInComboBox(const std::string& folder) = 0;
    /// Sets the folder tree's change delay.
    virtual void SetTreeChangeDelay(int milliseconds) = 0;
    /// What the settings file keeps, as the controls hold it now.
    virtual TSettings CurrentSettings() const = 0;
    /// An error raised by the platform, in its English text.
    virtual void ShowError(const std::string& text) = 0;
    /// An information box of the window's own.
    virtual void ShowInformation(const std::string& text) = 0;
    /// A question with Yes and No.
    virtual engine::Answer Ask(const std::string& question) = 0;
};

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
};

/// The window's decisions, the same under both windows: the three views of the current folder
/// kept in step, the command-line argument, creation and closing, the settings file, the run
/// button. Each window builds its controls and forwards their events here.
class TFormRules {
public:
    TFormRules(TFormView& view, FileListState& list, FormSetup setup);

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
    /// The run button: refused while a script of this window still runs.
    void DoItBtnClick(engine::TRunSurroundings& surroundings, bool scriptRunning);
    /// Asked before the window closes: a running script is waited for or the window stays
    /// (`waitForScript` blocks until its end has been handled); then the settings are saved.
    /// True lets the window close.
    bool FormCloseQuery(bool scriptRunning, const std::function<void()>& waitForScript);

    void LoadSettings();
    void SaveSettings();

    const std::string& SettingsPath() const { return settingsPath_; }
    const std::string& ProgramFolder() const { return programFolder_; }

private:
    TFormView& view_;
    FileListState& list_;
    FormSetup setup_;
    std::string settingsPath_;
    std::string programFolder_;
    std::unique_ptr<engine::StampScript> script_;
};

} // namespace form
