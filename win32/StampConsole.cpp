#include "win32/StampConsole.h"

#include "engine/CodePage.h"
#include "form/Boxes.h"
#include "form/FormText.h"
#include "win32/ControlIds.h"

#include <commctrl.h>

namespace win32 {
namespace {

constexpr const char* kClass = ids::kConsoleClass;

/// One of the program's texts as the window's code page writes it, with real line breaks.
std::string Shown(const std::string& utf8) {
    return form::BoxText(engine::AnsiFromUtf8(utf8), "\r\n");
}

/// The script's output as its console would show it: the console's code page, CR LF lines.
std::string FromConsole(std::string_view bytes) {
    std::string lines;
    for (const char c : bytes) {
        if (c == '\n' && (lines.empty() || lines.back() != '\r'))
            lines += '\r';
        lines += c;
    }
    const int wide = ::MultiByteToWideChar(CP_OEMCP, 0, lines.data(),
                                           static_cast<int>(lines.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_OEMCP, 0, lines.data(), static_cast<int>(lines.size()), text.data(),
                          wide);
    const int narrow =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string shown(static_cast<std::size_t>(narrow), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, shown.data(), narrow, nullptr, nullptr);
    return shown;
}

} // namespace

TStampConsole::TStampConsole(HWND owner, HINSTANCE instance) {
    WNDCLASSA type{};
    if (!::GetClassInfoA(instance, kClass, &type)) {
        type.lpfnWndProc = Procedure;
        type.hInstance = instance;
        type.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        type.lpszClassName = kClass;
        ::RegisterClassA(&type);
    }
    window_ = ::CreateWindowExA(0, kClass, engine::AnsiFromUtf8(form::text::kConsoleTitle).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                640, 360, owner, nullptr, instance, this);
    const auto child = [&](const char* type, const char* text, DWORD style, int id) {
        return ::CreateWindowExA(0, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                 reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    };
    output_ = child("EDIT", "",
                    WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                    ids::kConsoleOutput);
    progress_ = child(PROGRESS_CLASSA, "", 0, ids::kConsoleProgress);
    summary_ = child("STATIC", "", 0, ids::kConsoleSummary);
    close_ = child("BUTTON", engine::AnsiFromUtf8(form::text::kConsoleClose).c_str(),
                   WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    mono_ = static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
    ::SendMessageA(output_, WM_SETFONT, reinterpret_cast<WPARAM>(mono_), FALSE);
    // A console's worth of output: the edit's own limit is 32 kB.
    ::SendMessageA(output_, EM_SETLIMITTEXT, 0, 0);
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND control : {summary_, close_})
        ::SendMessageA(control, WM_SETFONT, font, FALSE);
    Layout();
}

TStampConsole::~TStampConsole() {
    if (::IsWindow(window_))
        ::DestroyWindow(window_);
}

LRESULT CALLBACK TStampConsole::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
    auto* self = reinterpret_cast<TStampConsole*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_SIZE:
        if (self)
            self->Layout();
        return 0;
    case WM_COMMAND:
        if (LOWORD(w) == IDCANCEL && ::IsWindowEnabled(::GetDlgItem(window, IDCANCEL)))
            ::ShowWindow(window, SW_HIDE);
        return 0;
    case WM_CLOSE:
        // Closed only once the script has ended; it stays at hand for the next run.
        if (::IsWindowEnabled(::GetDlgItem(window, IDCANCEL)))
            ::ShowWindow(window, SW_HIDE);
        return 0;
    default:
        return ::DefWindowProcA(window, message, w, l);
    }
}

void TStampConsole::Layout() {
    if (!close_)
        return;
    RECT client;
    ::GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    constexpr int kMargin = 8, kBar = 18, kSummary = 40, kButtonWidth = 75, kButtonHeight = 25;
    const int below = kBar + kSummary + kButtonHeight + 4 * kMargin;
    ::MoveWindow(output_, kMargin, kMargin, width - 2 * kMargin, height - below, TRUE);
    const int bar = height - below + 2 * kMargin;
    ::MoveWindow(progress_, kMargin, bar, width - 2 * kMargin, kBar, TRUE);
    ::MoveWindow(summary_, kMargin, bar + kBar + kMargin, width - 2 * kMargin, kSummary, TRUE);
    ::MoveWindow(close_, width - kMargin - kButtonWidth, height - kMargin - kButtonHeight,
                 kButtonWidth, kButtonHeight, TRUE);
}

void TStampConsole::Begin(std::size_t calls, const std::string& status) {
    ::SetWindowTextA(output_, "");
    ::SendMessageA(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(calls));
    ::SendMessageA(progress_, PBM_SETPOS, 0, 0);
    ::SetWindowTextA(summary_, Shown(status).c_str());
    ::EnableWindow(close_, FALSE);
    if (!placed_) {
        // Placed once, in the middle of the screen.
        RECT frame, screen;
        ::GetWindowRect(window_, &frame);
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
        const int w = frame.right - frame.left, h = frame.bottom - frame.top;
        ::SetWindowPos(window_, nullptr, screen.left + (screen.right - screen.left - w) / 2,
                       screen.top + (screen.bottom - screen.top - h) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        placed_ = true;
    }
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::SetForegroundWindow(window_);
}

void TStampConsole::Append(std::string_view lines) {
    const std::string text = FromConsole(lines) + "\r\n";
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthA(output_));
    ::SendMessageA(output_, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageA(output_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStampConsole::Progress(std::size_t done) {
    ::SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void TStampConsole::End(const std::string& summary) {
    ::SetWindowTextA(summary_, Shown(summary).c_str());
    ::EnableWindow(close_, TRUE);
}

} // namespace win32
