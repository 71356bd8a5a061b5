#include "win32/TForm1.h"

#include "form/Boxes.h"
#include "form/FormText.h"
#include "form/SelectionCommands.h"
#include "form/WindowLayout.h"
#include "platform/WideText.h"
#include "win32/ControlIds.h"
#include "win32/OwnWindow.h"
#include "win32/QuestionBox.h"

#include <commctrl.h>
#include <shlobj.h>

namespace win32 {
namespace {

/// Work posted from another thread is waiting.
constexpr UINT kRunPosted = WM_APP + 1;

using platform::Narrow;
using platform::Wide;

/// A message as a box shows it: the engine's "\r" a real line break.
std::wstring BoxText(const std::string& text) {
    return Wide(form::BoxText(text, "\r\n"));
}

std::string TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetText(HWND control, const std::string& text) {
    ::SetWindowTextW(control, Wide(text).c_str());
}

std::string ConfigFolder() {
    wchar_t folder[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder)))
        return {};
    return Narrow(folder) + "\\Kronalo";
}

LRESULT CALLBACK PathKeys(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
    const LRESULT result = ::DefSubclassProc(edit, message, w, l);
    if (message == WM_KEYUP)
        reinterpret_cast<form::TFormRules*>(data)->PathKeyUp();
    return result;
}

} // namespace

TForm1::TForm1(HINSTANCE instance, std::vector<std::string> arguments)
    : instance_(instance), list_(*this), arguments_(std::move(arguments)) {
    RegisterOwnClass(instance, ids::kWindowClass, Procedure, ::LoadCursor(nullptr, IDC_ARROW),
                     ::LoadIcon(nullptr, IDI_APPLICATION));
    const form::TSettings defaults;
    window_ =
        ::CreateWindowExW(WS_EX_CONTROLPARENT, ids::kWindowClass, Wide(form::text::kTitle).c_str(),
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, defaults.left, defaults.top,
                          defaults.width, defaults.height, nullptr, nullptr, instance, this);
    // The measures are given at 100 %: the window comes up as large on the display's scale.
    dpi_ = DpiOf(window_);
    leftPaneWidth_ = form::layout::Scale(leftPaneWidth_, dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, form::layout::Scale(defaults.width, dpi_),
                   form::layout::Scale(defaults.height, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    console_ = std::make_unique<TStampConsole>(window_, instance);
    BuildControls();

    form::FormSetup setup;
    setup.arguments = arguments_;
    setup.configFolder = ConfigFolder();
    // Where the installer puts the program for its user (…\AppData\Local\Programs\Kronalo\):
    // a copy installed there keeps its settings in the configuration folder, so that an uninstall
    // removes the program folder whole and the settings outlive it.
    setup.installedFolder = "\\Programs\\Kronalo\\";
    form::TFormView& view = *this;
    rules_ = std::make_unique<form::TFormRules>(view, list_, std::move(setup));
    ::SetWindowSubclass(Path, PathKeys, 1, reinterpret_cast<DWORD_PTR>(rules_.get()));
    TreeView->Changed = [this] { rules_->TreeViewChange(); };
    // The tree comes up on the desktop while the window is built; with no delay yet, the list
    // follows at once.
    TreeView->SelectRoot();
    rules_->FormCreate();
    Layout();
}

TForm1::~TForm1() {
    // The rules go first, with their console: a script still running is waited for while the
    // window stands.
    rules_.reset();
    if (::IsWindow(window_))
        ::DestroyWindow(window_);
    for (HFONT font : {font_, listFont_})
        if (font)
            ::DeleteObject(font);
    if (accelerators_)
        ::DestroyAcceleratorTable(accelerators_);
    if (PopupMenu1)
        ::DestroyMenu(PopupMenu1);
}

void TForm1::Show(int how) {
    ::ShowWindow(window_, how);
    ::UpdateWindow(window_);
    if (!shown_) {
        shown_ = true;
        rules_->FormShow();
    }
}

bool TForm1::PreTranslate(MSG& message) {
    return ::TranslateAcceleratorW(window_, accelerators_, &message) ||
           ::IsDialogMessageW(window_, &message);
}

LRESULT CALLBACK TForm1::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = OwnerOf<TForm1>(window, message, l);
    if (!self || !self->rules_)
        return ::DefWindowProcW(window, message, w, l);
    return self->Handle(message, w, l);
}

LRESULT TForm1::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {
            form::layout::Scale(form::layout::kMinimumWidth, dpi_),
            form::layout::Scale(form::layout::kMinimumHeight, dpi_)};
        return 0;
    case WM_DPICHANGED:
        Rescale(HIWORD(w), *reinterpret_cast<const RECT*>(l));
        return 0;
    case WM_COMMAND:
        Command(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (TreeView->Notify(*reinterpret_cast<NMHDR*>(l), result))
            return result;
        break;
    }
    case WM_TIMER:
        if (TreeView->Timer(w))
            return 0;
        break;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(w) != FileList)
            break;
        FileListMenu(l);
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(ids::kDoItBtn, DC_HASDEFID);
    case kRunPosted:
        RunPosted();
        return 0;
    case WM_CLOSE:
        if (rules_->FormCloseQuery())
            ::DestroyWindow(window_);
        return 0;
    case WM_ENDSESSION:
        // The session ends once this returns: the script's end is waited for, it is deleted
        // and the settings are kept first.
        if (w)
            rules_->SessionEnds();
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, w, l);
}

void TForm1::FileListMenu(LPARAM l) {
    POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    if (l == -1) {
        // From the keyboard: at the list's corner.
        at = {0, 0};
        ::ClientToScreen(FileList, &at);
    }
    ::TrackPopupMenu(PopupMenu1, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window_, nullptr);
}

HWND TForm1::Control(const wchar_t* type, const char* text, DWORD style, int id) {
    const DWORD edge = std::wstring_view(type) == L"EDIT" || std::wstring_view(type) == L"LISTBOX"
                           ? WS_EX_CLIENTEDGE
                           : 0;
    const HWND control =
        ::CreateWindowExW(edge, type, Wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, window_,
                          reinterpret_cast<HMENU>(INT_PTR(id)), instance_, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
}

void TForm1::MakeFonts() {
    font_ =
        ::CreateFontW(-form::layout::ScaleFont(form::layout::kFontPixels, dpi_), 0, 0, 0, FW_NORMAL,
                      FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    listFont_ =
        ::CreateFontW(-form::layout::ScaleFont(form::layout::kListFontPixels, dpi_), 0, 0, 0,
                      FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

void TForm1::Rescale(int dpi, const RECT& suggested) {
    leftPaneWidth_ = ::MulDiv(leftPaneWidth_, dpi, dpi_);
    dpi_ = dpi;
    const HFONT font = font_, listFont = listFont_;
    MakeFonts();
    for (HWND control :
         {TreeView->Tree(), TreeView->Combo(), Path, Filter, Label1, Label4, SelectAllBox,
          MakeReturnFileBtn, SelectAllBtn, Label2, ToNameEdit, Label3, Button1, FileBuf, DoItBtn})
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    ::SendMessageW(FileList, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), TRUE);
    ScaleLists();
    // The controls hold the new fonts now.
    ::DeleteObject(font);
    ::DeleteObject(listFont);
    // In the place and size the system suggests, laid out anew even where the size stays.
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

void TForm1::ScaleLists() {
    ::SendMessageW(FileList, LB_SETITEMHEIGHT, 0,
                   form::layout::Scale(form::layout::kListRowHeight, dpi_));
    TreeView_SetIndent(TreeView->Tree(), form::layout::Scale(form::layout::kTreeIndent, dpi_));
}

void TForm1::BuildControls() {
    MakeFonts();
    // Made in the tab order: TreeView, Path, ComboBox, FileList, Filter, SelectAllBox,
    // ToNameEdit, DoItBtn, SelectAllBtn, Button1. The rest takes no focus.
    TreeView = std::make_unique<TShellTree>(window_, instance_, ids::kTreeView, ids::kComboBox);
    Path = Control(L"EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, ids::kPath);
    ::SetWindowPos(Path, TreeView->Tree(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowPos(TreeView->Combo(), Path, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (HWND tree : {TreeView->Tree(), TreeView->Combo()})
        ::SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    FileList = Control(L"LISTBOX", "",
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY |
                           LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                       ids::kFileList);
    ::SendMessageW(FileList, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
    Filter = Control(L"COMBOBOX", "",
                     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                     ids::kFilter);
    for (const char* entry : form::text::kFilterPresets)
        ::SendMessageW(Filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry).c_str()));
    ::SendMessageW(Filter, CB_SETCURSEL, form::TSettings().filterIndex, 0);
    BuildRightPane();
    Label1 = Control(L"STATIC", form::text::kFilterLabel, WS_VISIBLE, ids::kLabel1);
    // Never shown: it exists for its mnemonic, Alt+D to the path box.
    Label4 = Control(L"STATIC", form::text::kPathAccelerator, 0, ids::kLabel4);
    Splitter1 = std::make_unique<TSplitter>(window_, instance_, ids::kSplitter1);
    Splitter1->Moving = [this](int x) {
        leftPaneWidth_ = x;
        Layout();
    };
    Splitter1->Moved = [this] { Layout(); };
    ScaleLists();
    BuildPopupMenu();
}

void TForm1::BuildRightPane() {
    SelectAllBox = Control(L"BUTTON", form::text::kSelectAllBox,
                           WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, ids::kSelectAllBox);
    ::SendMessageW(SelectAllBox, BM_SETCHECK, BST_CHECKED, 0);
    ToNameEdit = Control(L"EDIT", form::TSettings().targetPattern.c_str(),
                         WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, ids::kToNameEdit);
    DoItBtn = Control(L"BUTTON", form::text::kDoItBtn, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                      ids::kDoItBtn);
    SelectAllBtn = Control(L"BUTTON", form::text::kSelectAllBtn,
                           WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, ids::kSelectAllBtn);
    Button1 = Control(L"BUTTON", form::text::kMoreButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                      ids::kButton1);
    Label2 = Control(L"STATIC", form::text::kTargetLabel, WS_VISIBLE, ids::kLabel2);
    Label3 = Control(L"STATIC", form::text::kTargetHint, WS_VISIBLE, ids::kLabel3);
    // Never shown and used by nothing but the settings file, whose fourth line it keeps.
    MakeReturnFileBtn =
        Control(L"BUTTON", form::text::kMakeReturnFile, BS_AUTOCHECKBOX, ids::kMakeReturnFileBtn);
    ::SendMessageW(MakeReturnFileBtn, BM_SETCHECK, BST_CHECKED, 0);
    // Never shown: the line buffer of the window's design. The run and the settings file
    // assemble their lines in strings of their own, so it stays empty.
    FileBuf = Control(L"EDIT", "", ES_MULTILINE | ES_AUTOHSCROLL, ids::kFileBuf);
}

void TForm1::BuildPopupMenu() {
    PopupMenu1 = ::CreatePopupMenu();
    const auto entry = [this](int id, const char* caption) {
        ::AppendMenuW(PopupMenu1, MF_STRING, static_cast<UINT_PTR>(id), Wide(caption).c_str());
    };
    entry(ids::kValitsekaikki1, form::text::kMenuSelectAll);
    entry(ids::kValitsejokatoinen1, form::text::kMenuEveryOther);
    entry(ids::kKnteinenvalinta1, form::text::kMenuInverse);
    ::AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    entry(ids::kValitsejokatoinenjovalitut1, form::text::kMenuEveryOtherInAddition);
    ::AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    entry(ids::kVaihdapolkuaAltD1, (std::string(form::text::kMenuChangePath) + "\tF6").c_str());
    ::AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    entry(ids::kPalautaaiemmatajat1, form::text::kMenuRestore);

    ACCEL keys[] = {
        {FVIRTKEY, VK_F6, static_cast<WORD>(ids::kVaihdapolkuaAltD1)},
        {FVIRTKEY | FALT, 'D', static_cast<WORD>(ids::kAltD)},
        {FVIRTKEY | FALT, 'P', static_cast<WORD>(ids::kAltP)},
        {FVIRTKEY | FALT, 'A', static_cast<WORD>(ids::kAltA)},
        {FVIRTKEY | FALT, 'V', static_cast<WORD>(ids::kAltV)},
        {FVIRTKEY | FALT, 'K', static_cast<WORD>(ids::kAltK)},
    };
    accelerators_ = ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

void TForm1::Layout() {
    if (!DoItBtn)
        return;
    namespace at = form::layout;
    RECT client;
    ::GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    const auto px = [this](int pixels) { return at::Scale(pixels, dpi_); };
    const int rightPane = px(at::kRightPaneWidth), divider = px(at::kDividerWidth);
    const int narrowest = px(at::kNarrowestPane),
              rows = px(at::kComboBoxEntries * at::kListRowHeight);
    // Neither neighbour of the divider gets narrower than the narrowest pane.
    leftPaneWidth_ =
        std::max(narrowest, std::min(leftPaneWidth_, width - rightPane - divider - narrowest));
    const int left = leftPaneWidth_;
    const int middle = left + divider, middleWidth = width - rightPane - middle;
    const int right = width - rightPane;
    const int box = px(at::kStripBoxMargin);
    const auto place = [](HWND control, int x, int y, int w, int h) {
        ::MoveWindow(control, x, y, w, h, TRUE);
    };
    const auto placeIn = [&place, this](HWND control, int x, int y, const at::Rect& r96) {
        const at::Rect r = at::Scaled(r96, dpi_);
        place(control, x + r.x, y + r.y, r.width, r.height);
    };
    const at::Rect path = at::Scaled(at::kPath, dpi_), combo = at::Scaled(at::kComboBox, dpi_);
    const at::Rect filter = at::Scaled(at::kFilter, dpi_),
                   toName = at::Scaled(at::kToNameEdit, dpi_);
    const at::Point label1 = at::Scaled(at::kLabel1, dpi_), label2 = at::Scaled(at::kLabel2, dpi_);
    place(Path, path.x, path.y, left - box, path.height);
    // A drop-down's height includes its list.
    place(TreeView->Combo(), combo.x, combo.y, left - box, combo.height + rows);
    place(TreeView->Tree(), 0, px(at::kPathStripHeight), left, height - px(at::kPathStripHeight));
    place(Splitter1->Handle(), left, 0, divider, height);
    place(Label1, middle + label1.x, label1.y, middleWidth - label1.x, filter.y - label1.y);
    place(Filter, middle + filter.x, filter.y, middleWidth - box, rows);
    place(FileList, middle, px(at::kFilterStripHeight), middleWidth,
          height - px(at::kFilterStripHeight));
    placeIn(SelectAllBox, right, 0, at::kSelectAllBox);
    placeIn(SelectAllBtn, right, 0, at::kSelectAllBtn);
    place(Label2, right + label2.x, label2.y, at::Scaled(at::kSelectAllBtn, dpi_).width,
          toName.y - label2.y - px(3));
    placeIn(ToNameEdit, right, 0, at::kToNameEdit);
    placeIn(Label3, right, 0, at::kLabel3);
    placeIn(Button1, right, 0, at::kButton1);
    placeIn(DoItBtn, right, height - px(at::kRunStripHeight), at::kDoItBtn);
}

void TForm1::Command(int id, int code, HWND from) {
    if (from == Path && code == EN_CHANGE)
        rules_->PathChange();
    else if (from == Filter && code == CBN_EDITCHANGE)
        rules_->FilterChange();
    else if (from == Filter && code == CBN_SELCHANGE)
        FilterPicked();
    else if (from == TreeView->Combo() && code == CBN_SELCHANGE)
        TreeView->ComboPicked();
    else if (from == SelectAllBox && code == BN_CLICKED)
        rules_->SelectAllIfAsked();
    else if (from == SelectAllBtn && code == BN_CLICKED)
        SelectAllItems();
    else if (from == Button1 && code == BN_CLICKED)
        Button1Click();
    else if ((from == DoItBtn && code == BN_CLICKED) || id == IDOK)
        rules_->DoItBtnClick();
    else if (!from)
        MenuCommand(id, code == 1);
}

void TForm1::FilterPicked() {
    // The edit part shows the pick only after this notification; the list wants it now.
    const LRESULT index = ::SendMessageW(Filter, CB_GETCURSEL, 0, 0);
    const LRESULT length = ::SendMessageW(Filter, CB_GETLBTEXTLEN, index, 0);
    if (index < 0 || length < 0)
        return;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(Filter, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    ::SetWindowTextW(Filter, text.c_str());
    rules_->FilterChange();
}

void TForm1::MenuCommand(int id, bool fromKey) {
    const auto apply = [this](std::vector<bool> (*command)(std::vector<bool>)) {
        ::SetFocus(FileList);
        SetSelectedFlags(command(SelectedFlags()));
    };
    switch (id) {
    case ids::kValitsekaikki1:
        SelectAllItems();
        ::SetFocus(FileList);
        break;
    case ids::kValitsejokatoinen1:
        apply(form::EveryOther);
        break;
    case ids::kKnteinenvalinta1:
        apply(form::Inverse);
        break;
    case ids::kValitsejokatoinenjovalitut1:
        apply(form::EveryOtherInAddition);
        break;
    case ids::kVaihdapolkuaAltD1:
        if (form::FocusesPath(fromKey ? form::PathRequest::F6 : form::PathRequest::MenuEntry,
                              ::GetFocus() == FileList))
            ::SetFocus(Path);
        break;
    case ids::kPalautaaiemmatajat1:
        rules_->RestoreEarlierTimes();
        break;
    case ids::kAltD:
        if (form::FocusesPath(form::PathRequest::AltD, ::GetFocus() == FileList))
            ::SetFocus(Path);
        break;
    case ids::kAltP:
        ::SetFocus(Filter);
        break;
    case ids::kAltA:
        ::SendMessageW(SelectAllBox, BM_CLICK, 0, 0);
        break;
    case ids::kAltV:
        ::SendMessageW(SelectAllBtn, BM_CLICK, 0, 0);
        break;
    case ids::kAltK:
        ::SendMessageW(DoItBtn, BM_CLICK, 0, 0);
        break;
    default:
        break;
    }
}

void TForm1::Button1Click() {
    RECT frame;
    ::GetWindowRect(window_, &frame);
    const form::MenuPosition at = form::Button1MenuPosition(
        frame.left, frame.top,
        leftPaneWidth_ + form::layout::Scale(form::layout::kDividerWidth, dpi_), 0,
        form::layout::Scale(form::layout::kFilterStripHeight, dpi_));
    ::TrackPopupMenu(PopupMenu1, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window_, nullptr);
}

std::vector<bool> TForm1::SelectedFlags() const {
    const auto count = static_cast<int>(::SendMessageW(FileList, LB_GETCOUNT, 0, 0));
    std::vector<bool> flags;
    for (int i = 0; i < count; ++i)
        flags.push_back(::SendMessageW(FileList, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
    return flags;
}

void TForm1::SetSelectedFlags(const std::vector<bool>& flags) {
    for (std::size_t i = 0; i < flags.size(); ++i)
        ::SendMessageW(FileList, LB_SETSEL, flags[i] ? TRUE : FALSE, static_cast<LPARAM>(i));
}

std::string TForm1::PathText() const {
    return TextOf(Path);
}

void TForm1::SetPathText(const std::string& text) {
    // The change handling runs only where the text changes, as the edit's own notice does.
    if (TextOf(Path) != text)
        SetText(Path, text);
}

std::string TForm1::FilterText() const {
    return TextOf(Filter);
}

bool TForm1::SelectAllChecked() const {
    return ::SendMessageW(SelectAllBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm1::SelectAllItems() {
    ::SendMessageW(FileList, LB_SETSEL, TRUE, -1);
}

std::string TForm1::TreeSelectedPath() const {
    return TreeView->SelectedPath();
}

bool TForm1::TreeCanResolve(const std::string& path) {
    return TreeView->CanResolve(path);
}

void TForm1::ShowInComboBox(const std::string&) {
    TreeView->ShowSelectionInCombo();
}

void TForm1::SetTreeChangeDelay(int milliseconds) {
    TreeView->SetChangeDelay(milliseconds);
}

form::TSettings TForm1::CurrentSettings() const {
    form::TSettings settings;
    settings.filterText = TextOf(Filter);
    settings.filterIndex = form::SavedFilterIndex(
        static_cast<int>(::SendMessageW(Filter, CB_GETCURSEL, 0, 0)), settings.filterText);
    settings.selectAll = SelectAllChecked();
    settings.makeReturnFile = ::SendMessageW(MakeReturnFileBtn, BM_GETCHECK, 0, 0) == BST_CHECKED;
    settings.targetPattern = TextOf(ToNameEdit);
    // Sizes are kept as at 100 %, as the window had them before it followed the display's scale;
    // the place is the screen's own.
    settings.leftPaneWidth = form::layout::Unscale(leftPaneWidth_, dpi_);
    RECT frame;
    ::GetWindowRect(window_, &frame);
    settings.left = frame.left;
    settings.top = frame.top;
    settings.width = form::layout::Unscale(frame.right - frame.left, dpi_);
    settings.height = form::layout::Unscale(frame.bottom - frame.top, dpi_);
    return settings;
}

void TForm1::ShowError(const std::string& text) {
    ::MessageBoxW(window_, BoxText(text).c_str(), Wide(form::text::kTitle).c_str(),
                  MB_OK | MB_ICONERROR);
}

void TForm1::ShowInformation(const std::string& text) {
    ::MessageBoxW(window_, BoxText(text).c_str(), Wide(form::text::kTitle).c_str(), MB_OK);
}

void TForm1::ShowWithDetails(const std::string& text, const std::string& details) {
    ShowDetailsBox(window_, BoxText(text).c_str(), BoxText(details).c_str(),
                   Wide(form::text::kTitle).c_str());
}

bool TForm1::Confirm(const std::string& text, const std::string& details) {
    return ShowDetailsBox(window_, BoxText(text).c_str(), BoxText(details).c_str(),
                          Wide(form::text::kTitle).c_str(), true);
}

form::Answer TForm1::Ask(const std::string& question) {
    return AskQuestion(window_, BoxText(question).c_str(),
                       Wide(form::text::kConfirmCaption).c_str(), form::ButtonsOf(question));
}

void TForm1::CloseQuestion() {
    CloseQuestionBox();
}

std::string TForm1::TargetPattern() const {
    return TextOf(ToNameEdit);
}

void TForm1::Beep() {
    ::MessageBeep(0);
}

void TForm1::Post(std::function<void()> work) {
    {
        const std::lock_guard<std::mutex> hold(postedLock_);
        posted_.push_back(std::move(work));
    }
    ::PostMessageW(window_, kRunPosted, 0, 0);
}

void TForm1::RunPosted() {
    std::vector<std::function<void()>> work;
    {
        const std::lock_guard<std::mutex> hold(postedLock_);
        work.swap(posted_);
    }
    for (auto& each : work)
        each();
}

void TForm1::SetFilterIndex(int index) {
    const int presets = static_cast<int>(std::size(form::text::kFilterPresets));
    ::SendMessageW(Filter, CB_SETCURSEL, index >= 0 && index < presets ? index : -1, 0);
}

void TForm1::SetFilterText(const std::string& text) {
    // A text set by the program sends no edit notice: the list keeps its mask.
    SetText(Filter, text);
}

void TForm1::SetSelectAll(bool checked) {
    ::SendMessageW(SelectAllBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm1::SetMakeReturnFile(bool checked) {
    ::SendMessageW(MakeReturnFileBtn, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm1::SetTargetPattern(const std::string& text) {
    SetText(ToNameEdit, text);
}

void TForm1::SetLeftPaneWidth(int width) {
    leftPaneWidth_ = form::layout::Scale(width, dpi_);
    Layout();
}

void TForm1::SetLeft(int left) {
    RECT frame;
    ::GetWindowRect(window_, &frame);
    ::SetWindowPos(window_, nullptr, left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TForm1::SetTop(int top) {
    RECT frame;
    ::GetWindowRect(window_, &frame);
    ::SetWindowPos(window_, nullptr, frame.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TForm1::SetWidth(int width) {
    RECT frame;
    ::GetWindowRect(window_, &frame);
    // The window's minimum size still holds.
    ::SetWindowPos(window_, nullptr, 0, 0,
                   form::layout::Scale(std::max(width, form::layout::kMinimumWidth), dpi_),
                   frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
}

void TForm1::SetHeight(int height) {
    RECT frame;
    ::GetWindowRect(window_, &frame);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                   form::layout::Scale(std::max(height, form::layout::kMinimumHeight), dpi_),
                   SWP_NOMOVE | SWP_NOZORDER);
}

void TForm1::ShowItems(const std::vector<std::string>& names) {
    ::SendMessageW(FileList, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(FileList, LB_RESETCONTENT, 0, 0);
    // In the rules' order: the list box's own sorting goes by the locale.
    for (const std::string& name : names)
        ::SendMessageW(FileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    ::SendMessageW(FileList, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(FileList, nullptr, TRUE);
}

void TForm1::SetBusy(bool busy) {
    if (busy)
        before_ = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    else
        ::SetCursor(before_);
}

} // namespace win32
