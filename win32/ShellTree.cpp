#include "win32/ShellTree.h"

#include "form/WindowLayout.h"
#include "platform/WideText.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>

namespace win32 {
namespace {

constexpr UINT_PTR kDelayTimer = 1;

/// The shell's name of an item.
std::string NameOf(IShellFolder* folder, LPCITEMIDLIST pidl, SHGDNF kind) {
    STRRET name;
    wchar_t text[MAX_PATH * 2] = L"";
    if (SUCCEEDED(folder->GetDisplayNameOf(pidl, kind, &name)))
        ::StrRetToBufW(&name, pidl, text, static_cast<UINT>(std::size(text)));
    return platform::Narrow(text);
}

int IconOf(LPCITEMIDLIST pidl, UINT extra) {
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extra);
    return info.iIcon;
}

HIMAGELIST SystemImages() {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

/// The number of items in an item list.
int Depth(LPCITEMIDLIST pidl) {
    int depth = 0;
    for (auto id = reinterpret_cast<const BYTE*>(pidl);
         reinterpret_cast<const SHITEMID*>(id)->cb != 0;
         id += reinterpret_cast<const SHITEMID*>(id)->cb)
        ++depth;
    return depth;
}

/// The first `depth` items of `pidl`, as a new list.
LPITEMIDLIST Prefix(LPCITEMIDLIST pidl, int depth) {
    LPITEMIDLIST prefix = ::ILClone(pidl);
    for (int d = Depth(prefix); d > depth; --d)
        ::ILRemoveLastID(prefix);
    return prefix;
}

} // namespace

TShellTree::TShellTree(HWND parent, HINSTANCE instance, int treeId, int comboId) : parent_(parent) {
    tree_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS, 0,
        0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(treeId)), instance, nullptr);
    combo_ = ::CreateWindowExW(
        0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(comboId)), instance, nullptr);
    const HIMAGELIST images = SystemImages();
    TreeView_SetImageList(tree_, images, TVSIL_NORMAL);
    ::SendMessageW(combo_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TreeView_SetIndent(tree_, form::layout::kTreeIndent);
    ::SHGetDesktopFolder(&desktop_);

    LPITEMIDLIST root = nullptr;
    ::SHGetSpecialFolderLocation(parent, CSIDL_DESKTOP, &root);
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(root), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_DISPLAYNAME);
    const HTREEITEM top = Insert(TVI_ROOT, Keep(root), platform::Narrow(info.szDisplayName), true);
    AddChildren(top);
    TreeView_Expand(tree_, top, TVE_EXPAND);
}

TShellTree::~TShellTree() {
    for (LPITEMIDLIST pidl : pidls_)
        ::CoTaskMemFree(pidl);
    for (LPITEMIDLIST pidl : comboPidls_)
        ::CoTaskMemFree(pidl);
    if (desktop_)
        desktop_->Release();
}

LPITEMIDLIST TShellTree::Keep(LPITEMIDLIST pidl) {
    pidls_.push_back(pidl);
    return pidl;
}

HTREEITEM TShellTree::Insert(HTREEITEM parent, LPITEMIDLIST pidl, const std::string& name,
                             bool children) {
    std::wstring text = platform::Wide(name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = parent == TVI_ROOT ? TVI_LAST : TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = text.data();
    insert.item.lParam = reinterpret_cast<LPARAM>(pidl);
    insert.item.cChildren = children ? 1 : 0;
    insert.item.iImage = IconOf(pidl, 0);
    insert.item.iSelectedImage = IconOf(pidl, SHGFI_OPENICON);
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

LPITEMIDLIST TShellTree::PidlOf(HTREEITEM item) const {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!item || !::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return nullptr;
    return reinterpret_cast<LPITEMIDLIST>(data.lParam);
}

void TShellTree::AddChildren(HTREEITEM item) {
    if (std::find(filled_.begin(), filled_.end(), item) != filled_.end())
        return;
    filled_.push_back(item);
    const LPITEMIDLIST parent = PidlOf(item);
    IShellFolder* folder = nullptr;
    if (Depth(parent) == 0) {
        folder = desktop_;
        folder->AddRef();
    } else if (FAILED(desktop_->BindToObject(parent, nullptr, IID_IShellFolder,
                                             reinterpret_cast<void**>(&folder)))) {
        return;
    }
    IEnumIDList* children = nullptr;
    if (folder->EnumObjects(parent_, SHCONTF_FOLDERS, &children) == S_OK && children) {
        LPITEMIDLIST child = nullptr;
        while (children->Next(1, &child, nullptr) == S_OK) {
            SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_FOLDER;
            folder->GetAttributesOf(1, const_cast<LPCITEMIDLIST*>(&child), &attributes);
            const std::string name = NameOf(folder, child, SHGDN_INFOLDER);
            Insert(item, Keep(::ILCombine(parent, child)), name,
                   (attributes & SFGAO_HASSUBFOLDER) != 0);
            ::CoTaskMemFree(child);
        }
        children->Release();
    }
    folder->Release();
}

void TShellTree::SelectRoot() {
    TreeView_SelectItem(tree_, TreeView_GetRoot(tree_));
}

std::string TShellTree::SelectedPath() const {
    const LPITEMIDLIST pidl = PidlOf(TreeView_GetSelection(tree_));
    return pidl ? NameOf(desktop_, pidl, SHGDN_FORPARSING) : std::string();
}

bool TShellTree::CanResolve(const std::string& path) const {
    std::wstring wide = platform::Wide(path);
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(desktop_->ParseDisplayName(parent_, nullptr, wide.data(), nullptr, &pidl, nullptr)))
        return false;
    ::CoTaskMemFree(pidl);
    return true;
}

bool TShellTree::Notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != tree_)
        return false;
    result = 0;
    switch (header.code) {
    // The tree speaks in wide notifications to a wide window; the narrow ones are the same.
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA: {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (change.action & TVE_EXPAND)
            AddChildren(change.itemNew.hItem);
        return true;
    }
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA:
        SelectionMoved();
        return true;
    case NM_RCLICK:
        ShowContextMenu();
        result = 1;
        return true;
    default:
        return false;
    }
}

void TShellTree::SelectionMoved() {
    // While the window is being built the delay is zero and the change is handled at once.
    if (delay_ == 0) {
        if (Changed)
            Changed();
        return;
    }
    ::SetTimer(parent_, kDelayTimer, static_cast<UINT>(delay_), nullptr);
}

bool TShellTree::Timer(UINT_PTR id) {
    if (id != kDelayTimer)
        return false;
    ::KillTimer(parent_, kDelayTimer);
    if (Changed)
        Changed();
    return true;
}

void TShellTree::ShowContextMenu() {
    // A right click selects the folder it hits before its menu opens.
    POINT at;
    ::GetCursorPos(&at);
    TVHITTESTINFO hit{};
    hit.pt = at;
    ::ScreenToClient(tree_, &hit.pt);
    const HTREEITEM item = TreeView_HitTest(tree_, &hit);
    if (!item)
        return;
    TreeView_SelectItem(tree_, item);
    IShellFolder* folder = nullptr;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(::SHBindToParent(PidlOf(item), IID_IShellFolder, reinterpret_cast<void**>(&folder),
                                &last)))
        return;
    IContextMenu* menu = nullptr;
    if (SUCCEEDED(folder->GetUIObjectOf(parent_, 1, &last, IID_IContextMenu, nullptr,
                                        reinterpret_cast<void**>(&menu)))) {
        const HMENU popup = ::CreatePopupMenu();
        menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
        const int command = static_cast<int>(::TrackPopupMenu(
            popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, parent_, nullptr));
        if (command > 0) {
            // A command of the shell's must not leave another current directory behind.
            wchar_t current[MAX_PATH];
            const DWORD kept = ::GetCurrentDirectoryW(MAX_PATH, current);
            CMINVOKECOMMANDINFO invoke{};
            invoke.cbSize = sizeof invoke;
            invoke.hwnd = parent_;
            invoke.lpVerb = MAKEINTRESOURCEA(command - 1);
            invoke.nShow = SW_SHOWNORMAL;
            menu->InvokeCommand(&invoke);
            if (kept > 0 && kept < MAX_PATH)
                ::SetCurrentDirectoryW(current);
        }
        ::DestroyMenu(popup);
        menu->Release();
    }
    folder->Release();
}

void TShellTree::ShowSelectionInCombo() {
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    for (LPITEMIDLIST pidl : comboPidls_)
        ::CoTaskMemFree(pidl);
    comboPidls_.clear();
    const LPITEMIDLIST selected = PidlOf(TreeView_GetSelection(tree_));
    const int selectedDepth = selected ? Depth(selected) : -1;
    const auto add = [this](LPITEMIDLIST pidl, int indent) {
        COMBOBOXEXITEMW item{};
        SHFILEINFOW info{};
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof info,
                         SHGFI_PIDL | SHGFI_DISPLAYNAME);
        item.mask = CBEIF_TEXT | CBEIF_INDENT | CBEIF_LPARAM | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = -1;
        item.pszText = info.szDisplayName;
        item.iIndent = indent;
        item.lParam = reinterpret_cast<LPARAM>(pidl);
        item.iImage = item.iSelectedImage = IconOf(pidl, 0);
        return static_cast<int>(
            ::SendMessageW(combo_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    };
    // The desktop and what lies on it, with the folders down to the selection under the one
    // that holds it.
    const HTREEITEM root = TreeView_GetRoot(tree_);
    int current = add(PidlOf(root), 0);
    for (HTREEITEM top = TreeView_GetChild(tree_, root); top;
         top = TreeView_GetNextSibling(tree_, top)) {
        const LPITEMIDLIST pidl = PidlOf(top);
        const int index = add(pidl, 1);
        if (selected && selectedDepth >= 1 && ::ILIsParent(pidl, selected, FALSE)) {
            if (selectedDepth == 1)
                current = index;
            for (int depth = 2; depth <= selectedDepth; ++depth)
                current = add(comboPidls_.emplace_back(Prefix(selected, depth)), depth);
        }
    }
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

void TShellTree::ComboPicked() {
    const LRESULT index = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (index < 0 || !::SendMessageW(combo_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return;
    SelectPidl(reinterpret_cast<LPCITEMIDLIST>(item.lParam));
}

void TShellTree::SelectPidl(LPCITEMIDLIST pidl) {
    HTREEITEM item = TreeView_GetRoot(tree_);
    for (int depth = 1; item && depth <= Depth(pidl); ++depth) {
        AddChildren(item);
        TreeView_Expand(tree_, item, TVE_EXPAND);
        LPITEMIDLIST prefix = Prefix(pidl, depth);
        HTREEITEM child = TreeView_GetChild(tree_, item);
        while (child && !::ILIsEqual(PidlOf(child), prefix))
            child = TreeView_GetNextSibling(tree_, child);
        ::CoTaskMemFree(prefix);
        item = child;
    }
    if (item)
        TreeView_SelectItem(tree_, item);
}

} // namespace win32
