#include "win32/QuestionBox.h"

#include "form/FormText.h"
#include "platform/WideText.h"
#include "win32/ControlIds.h"
#include "win32/OwnWindow.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace win32 {
namespace {

HHOOK hook = nullptr;
/// The owner of the question box open now; null where none is.
HWND questionOwner = nullptr;
/// Names the buttons of the question box about to show.
HHOOK namingHook = nullptr;
form::QuestionButtons naming{nullptr, nullptr};

/// The system names a box's buttons in its own language; the question's text names them, so
/// they are given the names it uses as the box comes up.
LRESULT CALLBACK NameButtons(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE && naming.yes) {
        const HWND box = reinterpret_cast<HWND>(w);
        if (::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO)) {
            ::SetDlgItemTextW(box, IDYES, platform::Wide(naming.yes).c_str());
            ::SetDlgItemTextW(box, IDNO, platform::Wide(naming.no).c_str());
            naming = {nullptr, nullptr};
        }
    }
    return ::CallNextHookEx(namingHook, code, w, l);
}

/// A box with Yes and No has no cancel button of its own: Windows ignores Esc there, and Wine
/// reports it as a close. Esc pressed in the box clicks its No button instead.
LRESULT CALLBACK EscapeMeansNo(int code, WPARAM w, LPARAM l) {
    const MSG* message = reinterpret_cast<const MSG*>(l);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
        if (const HWND no = ::GetDlgItem(::GetAncestor(message->hwnd, GA_ROOT), IDNO)) {
            ::SendMessageW(no, BM_CLICK, 0, 0);
            return 1;
        }
    }
    return ::CallNextHookEx(hook, code, w, l);
}

/// The details box's measures, in pixels at 100 %.
constexpr int kMargin = 12, kGap = 8, kButtonWidth = 88, kButtonHeight = 26;
constexpr int kDetailsWidth = 760, kDetailsHeight = 400;

/// The details box's measures at the scale of the display it stands on.
struct Measures {
    int margin, gap, buttonWidth, buttonHeight, detailsWidth, detailsHeight;
};

Measures MeasuresOf(HWND box) {
    const int dpi = DpiOf(box);
    const auto px = [dpi](int pixels) { return form::layout::Scale(pixels, dpi); };
    return {px(kMargin),       px(kGap),          px(kButtonWidth),
            px(kButtonHeight), px(kDetailsWidth), px(kDetailsHeight)};
}

/// The text's identifier, the one the system's boxes give theirs.
constexpr int kBoxText = 0xFFFF;

/// What the details box shows, and how.
struct DetailsBox {
    const wchar_t* text;
    const wchar_t* details;
    const wchar_t* caption;
    HFONT font;
    /// A "Peruuta" button stands beside OK, and Esc and the close box mean it.
    bool cancellable = false;
    bool open = false;
};

/// The size of `text` in `font`, its lines broken at `widest` pixels.
SIZE TextSize(HWND window, HFONT font, const wchar_t* text, int widest) {
    const HDC dc = ::GetDC(window);
    const HGDIOBJ before = ::SelectObject(dc, font);
    RECT bounds{0, 0, widest, 0};
    ::DrawTextW(dc, text, -1, &bounds, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    ::SelectObject(dc, before);
    ::ReleaseDC(window, dc);
    return {bounds.right, bounds.bottom};
}

/// Fits the box to its text, its buttons and its details where open, and keeps it wholly in the
/// work area: in its middle where `centre`, else where it stands.
void Place(HWND box, const DetailsBox& state, bool centre) {
    const Measures m = MeasuresOf(box);
    RECT area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const SIZE text = TextSize(box, state.font, state.text, (area.right - area.left) * 3 / 5);
    // As wide for both of its texts: it does not move when it is pressed.
    int moreWidth = m.buttonWidth;
    for (const char* label : {form::text::kShowDetails, form::text::kHideDetails})
        moreWidth = std::max<int>(
            moreWidth,
            TextSize(box, state.font, platform::Wide(label).c_str(), area.right).cx + 2 * m.margin);
    // Peruuta, where the box has it, stands right of OK.
    const int cancel = state.cancellable ? m.gap + m.buttonWidth : 0;
    int width = std::max<int>(text.cx, moreWidth + m.gap + m.buttonWidth + cancel) + 2 * m.margin;
    if (state.open)
        width = std::max(width, m.detailsWidth);
    const int buttons = text.cy + 2 * m.margin;
    ::MoveWindow(::GetDlgItem(box, kBoxText), m.margin, m.margin, text.cx, text.cy, TRUE);
    if (state.cancellable)
        ::MoveWindow(::GetDlgItem(box, IDCANCEL), width - m.margin - m.buttonWidth, buttons,
                     m.buttonWidth, m.buttonHeight, TRUE);
    ::MoveWindow(::GetDlgItem(box, IDOK), width - m.margin - m.buttonWidth - cancel, buttons,
                 m.buttonWidth, m.buttonHeight, TRUE);
    ::MoveWindow(::GetDlgItem(box, ids::kDetailsButton),
                 width - m.margin - m.buttonWidth - cancel - m.gap - moreWidth, buttons, moreWidth,
                 m.buttonHeight, TRUE);
    int height = buttons + m.buttonHeight + m.margin;
    if (const HWND details = ::GetDlgItem(box, ids::kDetailsText)) {
        ::MoveWindow(details, m.margin, height, width - 2 * m.margin, m.detailsHeight, TRUE);
        ::ShowWindow(details, state.open ? SW_SHOW : SW_HIDE);
    }
    if (state.open)
        height += m.detailsHeight + m.margin;
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(box, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(box, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT now;
    ::GetWindowRect(box, &now);
    const int x = centre ? area.left + (area.right - area.left - w) / 2 : now.left;
    const int y = centre ? area.top + (area.bottom - area.top - h) / 2 : now.top;
    ::SetWindowPos(box, nullptr, std::max<int>(area.left, std::min<int>(x, area.right - w)),
                   std::max<int>(area.top, std::min<int>(y, area.bottom - h)), w, h,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

/// The system's message font at the scale of the display `owner` stands on: the system's scale
/// where Windows predates SystemParametersInfoForDpi.
HFONT MessageFont(HWND owner) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                           static_cast<UINT>(DpiOf(owner))))
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

/// A control of the box's, in its font, hidden until `style` says otherwise.
HWND AddControl(HWND box, const DetailsBox& state, const wchar_t* type, const wchar_t* text,
                DWORD style, int id, DWORD extended = 0) {
    const HWND control = ::CreateWindowExW(extended, type, text, WS_CHILD | style, 0, 0, 0, 0, box,
                                           reinterpret_cast<HMENU>(INT_PTR(id)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    return control;
}

/// The box's text, its details button and OK, the focus on OK as in the system's box.
void BuildDetailsBox(HWND box, const DetailsBox& state) {
    ::SetWindowTextW(box, state.caption);
    AddControl(box, state, L"STATIC", state.text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kBoxText);
    AddControl(box, state, L"BUTTON", platform::Wide(form::text::kShowDetails).c_str(),
               WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, ids::kDetailsButton);
    const HWND ok =
        AddControl(box, state, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    if (state.cancellable)
        AddControl(box, state, L"BUTTON", platform::Wide(form::text::kCancel).c_str(),
                   WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    Place(box, state, true);
    ::SetFocus(ok);
}

/// Opens the details below the buttons, or closes them, and names the button's next step.
void ToggleDetails(HWND box, DetailsBox& state) {
    state.open = !state.open;
    if (state.open && !::GetDlgItem(box, ids::kDetailsText)) {
        // Made at the first opening: a long run's thousands of lines are laid out only on demand.
        const HWND details = AddControl(box, state, L"EDIT", L"",
                                        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                            ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                        ids::kDetailsText, WS_EX_CLIENTEDGE);
        // The edit's own limit is 32 kB.
        ::SendMessageW(details, EM_SETLIMITTEXT, 0, 0);
        ::SetWindowTextW(details, state.details);
    }
    ::SetDlgItemTextW(
        box, ids::kDetailsButton,
        platform::Wide(state.open ? form::text::kHideDetails : form::text::kShowDetails).c_str());
    Place(box, state, false);
}

/// The box on a display of another scale: its font and measures at that scale, where it stands.
void Rescale(HWND box, DetailsBox& state) {
    const HFONT before = state.font;
    state.font = MessageFont(box);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), TRUE);
    ::DeleteObject(before);
    Place(box, state, false);
}

INT_PTR CALLBACK DetailsProcedure(HWND box, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(box, DWLP_USER, l);
        BuildDetailsBox(box, *reinterpret_cast<DetailsBox*>(l));
        // The focus is set.
        return FALSE;
    }
    auto* state = reinterpret_cast<DetailsBox*>(::GetWindowLongPtrW(box, DWLP_USER));
    if (message == WM_DPICHANGED && state) {
        Rescale(box, *state);
        return TRUE;
    }
    if (message != WM_COMMAND || !state)
        return FALSE;
    switch (LOWORD(w)) {
    case IDOK:
        ::EndDialog(box, IDOK);
        return TRUE;
    case IDCANCEL:
        // Esc and the close box answer Peruuta where the box has it, else OK, its one answer.
        ::EndDialog(box, state->cancellable ? IDCANCEL : IDOK);
        return TRUE;
    case ids::kDetailsButton:
        if (HIWORD(w) == BN_CLICKED)
            ToggleDetails(box, *state);
        return TRUE;
    default:
        return FALSE;
    }
}

/// Ends the system's box if `window` is the open question's: its Yes button tells it from an
/// information box over the same owner.
BOOL CALLBACK EndIfQuestion(HWND window, LPARAM) {
    wchar_t type[16] = {};
    ::GetClassNameW(window, type, 16);
    if (std::wstring_view(type) == L"#32770" && ::GetWindow(window, GW_OWNER) == questionOwner &&
        ::IsWindowVisible(window) && ::GetDlgItem(window, IDYES))
        ::EndDialog(window, IDCANCEL);
    return TRUE;
}

} // namespace

form::Answer AskQuestion(HWND owner, const wchar_t* text, const wchar_t* caption,
                         const form::QuestionButtons& buttons) {
    hook = ::SetWindowsHookExW(WH_MSGFILTER, EscapeMeansNo, nullptr, ::GetCurrentThreadId());
    naming = buttons;
    namingHook = ::SetWindowsHookExW(WH_CBT, NameButtons, nullptr, ::GetCurrentThreadId());
    const HWND outer = std::exchange(questionOwner, owner);
    const int answer =
        ::MessageBoxW(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    questionOwner = outer;
    if (hook)
        ::UnhookWindowsHookEx(hook);
    hook = nullptr;
    if (namingHook)
        ::UnhookWindowsHookEx(namingHook);
    namingHook = nullptr;
    naming = {nullptr, nullptr};
    switch (answer) {
    case IDYES:
        return form::Answer::Yes;
    case IDNO:
        return form::Answer::No;
    default:
        return form::Answer::Closed;
    }
}

void CloseQuestionBox() {
    if (questionOwner)
        ::EnumThreadWindows(::GetCurrentThreadId(), EndIfQuestion, 0);
}

bool ShowDetailsBox(HWND owner, const wchar_t* text, const wchar_t* details, const wchar_t* caption,
                    bool cancellable) {
    DetailsBox state{text, details, caption, MessageFont(owner), cancellable};
    // An empty template: the controls are made and measured once the box exists.
    struct alignas(DWORD) Template {
        DLGTEMPLATE dialog;
        WORD menu, type, title;
    } empty{};
    empty.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    const INT_PTR answer =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &empty.dialog, owner,
                                  DetailsProcedure, reinterpret_cast<LPARAM>(&state));
    ::DeleteObject(state.font);
    return answer == IDOK;
}

void ShowProgramAnswer(const char* text) {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD size = static_cast<DWORD>(std::string_view(text).size());
    DWORD written = 0;
    if (output != nullptr && output != INVALID_HANDLE_VALUE &&
        ::WriteFile(output, text, size, &written, nullptr) && written == size)
        return;
    ::MessageBoxW(nullptr, platform::Wide(text).c_str(), platform::Wide(form::text::kTitle).c_str(),
                  MB_OK);
}

} // namespace win32
