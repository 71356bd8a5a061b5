#pragma once

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace win32 {

/// The folder tree and its folder drop-down over the shell's namespace, rooted at the desktop:
/// folders only, virtual ones included, with the shell's icons and its context menu. The tree
/// reports a changed selection after its change delay; a further change within the delay
/// restarts it.
class TShellTree {
public:
    /// Makes both controls as children of `parent`, which forwards their notifications.
    TShellTree(HWND parent, HINSTANCE instance, int treeId, int comboId);
    ~TShellTree();
    TShellTree(const TShellTree&) = delete;
    TShellTree& operator=(const TShellTree&) = delete;

    HWND Tree() const { return tree_; }
    HWND Combo() const { return combo_; }

    /// Called once the change delay has passed after a selection change.
    std::function<void()> Changed;

    /// Selects the root, the desktop.
    void SelectRoot();
    /// Milliseconds between a selection change and Changed; 0 reports at once.
    void SetChangeDelay(int milliseconds) { delay_ = milliseconds; }
    /// The selected folder as the shell's parsing path: a full path for a file-system folder,
    /// "::{...}" for a virtual one; empty when nothing is selected.
    std::string SelectedPath() const;
    /// True when the shell resolves `path` to a folder. The selection is not changed.
    bool CanResolve(const std::string& path) const;
    /// Shows the selected folder and the folders above it in the drop-down.
    void ShowSelectionInCombo();

    /// The parent's WM_NOTIFY for the tree; true when it was the tree's.
    bool Notify(const NMHDR& header, LRESULT& result);
    /// The parent's WM_TIMER; true when it was the change delay's.
    bool Timer(UINT_PTR id);
    /// The drop-down's CBN_SELCHANGE: the tree selects the folder picked.
    void ComboPicked();

private:
    LPITEMIDLIST Keep(LPITEMIDLIST pidl);
    HTREEITEM Insert(HTREEITEM parent, LPITEMIDLIST pidl, const std::string& name, bool children);
    void AddChildren(HTREEITEM item);
    LPITEMIDLIST PidlOf(HTREEITEM item) const;
    void SelectionMoved();
    void ShowContextMenu();
    void SelectPidl(LPCITEMIDLIST pidl);

    HWND parent_;
    HWND tree_;
    HWND combo_;
    IShellFolder* desktop_ = nullptr;
    int delay_ = 0;
    /// Every absolute item list handed to the controls, freed at the end.
    std::vector<LPITEMIDLIST> pidls_;
    /// The drop-down's own lists of the folders above the selection, made anew with it.
    std::vector<LPITEMIDLIST> comboPidls_;
    std::vector<HTREEITEM> filled_;
};

} // namespace win32
