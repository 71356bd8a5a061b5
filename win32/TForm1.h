#pragma once

#include "form/FileListState.h"
#include "form/FormRules.h"
#include "form/WindowLayout.h"
#include "win32/ShellTree.h"
#include "win32/Splitter.h"
#include "win32/StampConsole.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace win32 {

/// Kronalo's one window on Windows, with the system's own controls: the shell's folder tree
/// with its drop-down and the path box, the filtered file list, the target field and the run
/// button. It builds the controls and forwards their events to the form's rules.
class TForm1 final : private form::TFormView, private form::TListView, private form::TBoxes {
public:
    TForm1(HINSTANCE instance, std::vector<std::string> arguments);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return window_; }
    /// Shows the window; the first showing handles the command-line argument.
    void Show(int how);
    /// Handles the window's keyboard accelerators and dialog keys (Tab, Enter); true when
    /// `message` was taken.
    bool PreTranslate(MSG& message);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);
    void BuildControls();
    /// The window's fonts at its scale.
    void MakeFonts();
    /// Fonts, rows and measures at `dpi`, the window's new scale, moved to a display of another
    /// scale or the scale changed; placed in `suggested`, as the system suggests.
    void Rescale(int dpi, const RECT& suggested);
    /// The file list's rows and the tree's indent at the window's scale.
    void ScaleLists();
    void BuildRightPane();
    void BuildPopupMenu();
    HWND Control(const wchar_t* type, const char* text, DWORD style, int id);
    void Layout();
    void Command(int id, int code, HWND from);
    /// The file list's popup menu, where the context-menu message `l` asks for it.
    void FileListMenu(LPARAM l);
    void MenuCommand(int id, bool fromKey);
    void Button1Click();
    void FilterPicked();

    // The file list's selection.
    void SetSelectedFlags(const std::vector<bool>& flags);

    // form::TFormView
    std::string PathText() const override;
    void SetPathText(const std::string& text) override;
    std::string FilterText() const override;
    bool SelectAllChecked() const override;
    void SelectAllItems() override;
    std::string TreeSelectedPath() const override;
    bool TreeCanResolve(const std::string& path) override;
    void ShowInComboBox(const std::string& folder) override;
    void SetTreeChangeDelay(int milliseconds) override;
    form::TSettings CurrentSettings() const override;
    std::vector<bool> SelectedFlags() const override;
    std::string TargetPattern() const override;
    void Beep() override;
    form::TBoxes& Boxes() override { return *this; }
    form::TConsoleView& Console() override { return *console_; }
    void Post(std::function<void()> work) override;
    void RunPosted();
    // form::TBoxes
    void ShowError(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void ShowWithDetails(const std::string& text, const std::string& details) override;
    bool Confirm(const std::string& text, const std::string& details) override;
    form::Answer Ask(const std::string& question) override;
    void CloseQuestion() override;
    void SetFilterIndex(int index) override;
    void SetFilterText(const std::string& text) override;
    void SetSelectAll(bool checked) override;
    void SetMakeReturnFile(bool checked) override;
    void SetTargetPattern(const std::string& text) override;
    void SetLeftPaneWidth(int width) override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // form::TListView
    void ShowItems(const std::vector<std::string>& names) override;
    void SetBusy(bool busy) override;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    HFONT listFont_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HCURSOR before_ = nullptr;
    bool shown_ = false;
    /// The dots per inch the window is drawn at; the measures of form::layout are given at 96.
    int dpi_ = form::layout::kBaseDpi;
    /// In the window's own pixels, as the divider stands.
    int leftPaneWidth_ = form::TSettings().leftPaneWidth;

    // The controls, by their component names.
    std::unique_ptr<TShellTree> TreeView;
    std::unique_ptr<TSplitter> Splitter1;
    HWND Path = nullptr;
    HWND Label4 = nullptr;
    HWND Label1 = nullptr;
    HWND Filter = nullptr;
    HWND FileList = nullptr;
    HWND SelectAllBox = nullptr;
    HWND MakeReturnFileBtn = nullptr;
    HWND SelectAllBtn = nullptr;
    HWND Label2 = nullptr;
    HWND ToNameEdit = nullptr;
    HWND Label3 = nullptr;
    HWND Button1 = nullptr;
    HWND FileBuf = nullptr;
    HWND DoItBtn = nullptr;
    HMENU PopupMenu1 = nullptr;

    form::FileListState list_;
    std::unique_ptr<TStampConsole> console_;
    std::unique_ptr<form::TFormRules> rules_;
    std::vector<std::string> arguments_;
    /// Work posted from other threads, run on the window's.
    std::mutex postedLock_;
    std::vector<std::function<void()>> posted_;
};

} // namespace win32
