#pragma once

#include "form/Boxes.h"
#include "form/SettingsFile.h"
#include "form/StampConsole.h"

#include <functional>
#include <string>
#include <vector>

namespace form {

/// What the window's rules need of its controls, boxes and console; each window gives its own.
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
    /// The file list's selection, one flag per item in list order.
    virtual std::vector<bool> SelectedFlags() const = 0;
    /// The target field's text, as file-system bytes.
    virtual std::string TargetPattern() const = 0;
    /// The platform's default sound.
    virtual void Beep() = 0;
    /// The window's message boxes.
    virtual TBoxes& Boxes() = 0;
    /// The window's console for stamp scripts.
    virtual TConsoleView& Console() = 0;
    /// Runs `work` on the window's thread, soon and in the order posted; called from any thread.
    virtual void Post(std::function<void()> work) = 0;
};

} // namespace form
