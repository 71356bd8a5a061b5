#include "win32/StampConsole.h"

#include "form/Boxes.h"
#include "form/FormText.h"
#include "platform/WideText.h"
#include "win32/ControlIds.h"
#include "win32/OwnWindow.h"

#include <commctrl.h>

#include <algorithm>

namespace win32 {
namespace {

constexpr const wchar_t* kClass = ids::kConsoleClass;

using platform::Wide;

/// One of the program's texts with real line breaks.
std::wstring Shown(const std::string& utf8) {
    return Wide(form::BoxText(utf8, "\r\n"));
}

/// The script's output in the edit's CR LF lines.
std::wstring FromConsole(std::string_view text) {
    std::string lines;
    for (const char c : text) {
        if (c == '\n' && (lines.empty() || lines.back() != '\r'))
            lines += '\r';
        lines += c;
    }
    return Wide(lines);
}

/// The timer that shows the output gathered since the last piece shown.
constexpr UINT_PTR kFlushTimer = 1;
/// The least and the most time between two pieces of output shown.
constexpr std::chrono::milliseconds kLeastWait{100}, kMostWait{1000};
/// The console waits this many times as long as it took to show a piece before it shows the next.
/// What the piece costs the run is several times what it took here: under Wine the window server
/// and the display repaint it, and the script's next processes wait their turn meanwhile.
constexpr int kWaitPerCost = 100;

} // namespace

TStampConsole::TStampConsole(HWND owner, HINSTANCE instance) {
    RegisterOwnClass(instance, kClass, Procedure, ::LoadCursor(nullptr, IDC_ARROW));
    // As large on the display's scale as 640 by 420 pixels at 100 %.
    const int dpi = DpiOf(owner);
    window_ = ::CreateWindowExW(0, kClass, Wide(form::text::kConsoleTitle).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                form::layout::Scale(640, dpi), form::layout::Scale(420, dpi), owner,
                                nullptr, instance, this);
    const auto child = [&](const wchar_t* type, const wchar_t* text, DWORD style, int id) {
        return ::CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                 reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    };
    // The edit breaks its lines at its width: no line is cut at its right edge.
    output_ =
        child(L"EDIT", L"", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
              ids::kConsoleOutput);
    progress_ = child(PROGRESS_CLASSW, L"", 0, ids::kConsoleProgress);
    summary_ = child(L"STATIC", L"", 0, ids::kConsoleSummary);
    stop_ = child(L"BUTTON", Wide(form::text::kConsoleStop).c_str(),
                  WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, ids::kConsoleStop);
    close_ = child(L"BUTTON", Wide(form::text::kConsoleClose).c_str(), WS_TABSTOP | BS_PUSHBUTTON,
                   IDCANCEL);
    mono_ = static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
    ::SendMessageW(output_, WM_SETFONT, reinterpret_cast<WPARAM>(mono_), FALSE);
    // A console's worth of output: the edit's own limit is 32 kB.
    ::SendMessageW(output_, EM_SETLIMITTEXT, 0, 0);
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    for (HWND control : {summary_, stop_, close_})
        ::SendMessageW(control, WM_SETFONT, font, FALSE);
    Layout();
}

TStampConsole::~TStampConsole() {
    if (::IsWindow(window_))
        ::DestroyWindow(window_);
}

LRESULT CALLBACK TStampConsole::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = OwnerOf<TStampConsole>(window, message, l);
    switch (message) {
    case WM_SIZE:
        if (self)
            self->Layout();
        return 0;
    case WM_DPICHANGED: {
        // On a display of another scale: laid out anew at the size the system suggests.
        const RECT& to = *reinterpret_cast<const RECT*>(l);
        ::SetWindowPos(window, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_TIMER:
        if (self && w == kFlushTimer)
            self->Flush();
        return 0;
    case WM_COMMAND:
        if (LOWORD(w) == IDCANCEL && ::IsWindowEnabled(::GetDlgItem(window, IDCANCEL)))
            ::ShowWindow(window, SW_HIDE);
        else if (LOWORD(w) == ids::kConsoleStop && HIWORD(w) == BN_CLICKED && self &&
                 self->stopped_)
            self->stopped_();
        return 0;
    case WM_CLOSE:
        // While the script runs, what owns the console decides, and may keep it open. Closed only
        // once the script has ended; it stays at hand for the next run.
        if (self && self->closing_ && !self->closing_())
            return 0;
        if (::IsWindowEnabled(::GetDlgItem(window, IDCANCEL)))
            ::ShowWindow(window, SW_HIDE);
        return 0;
    default:
        return ::DefWindowProcW(window, message, w, l);
    }
}

void TStampConsole::Layout() {
    if (!close_)
        return;
    RECT client;
    ::GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    const auto px = [dpi = DpiOf(window_)](int pixels) { return form::layout::Scale(pixels, dpi); };
    // The summary holds its counts and up to four notes below them.
    const int margin = px(8), barHeight = px(18), summary = px(88);
    const int buttonWidth = px(75), buttonHeight = px(25);
    const int below = barHeight + summary + buttonHeight + 4 * margin;
    ::MoveWindow(output_, margin, margin, width - 2 * margin, height - below, TRUE);
    const int bar = height - below + 2 * margin;
    ::MoveWindow(progress_, margin, bar, width - 2 * margin, barHeight, TRUE);
    ::MoveWindow(summary_, margin, bar + barHeight + margin, width - 2 * margin, summary, TRUE);
    ::MoveWindow(close_, width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth,
                 buttonHeight, TRUE);
    ::MoveWindow(stop_, width - 2 * (margin + buttonWidth), height - margin - buttonHeight,
                 buttonWidth, buttonHeight, TRUE);
}

void TStampConsole::Begin(std::size_t calls, const std::string& status) {
    ::KillTimer(window_, kFlushTimer);
    timed_ = false;
    pending_.clear();
    interval_ = kLeastWait;
    ::SetWindowTextW(output_, L"");
    ::SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(calls));
    ::SendMessageW(progress_, PBM_SETPOS, 0, 0);
    ::SetWindowTextW(summary_, Shown(status).c_str());
    ::EnableWindow(close_, FALSE);
    ::EnableWindow(stop_, TRUE);
    if (!placed_) {
        // Placed once, in the middle of the screen.
        RECT frame, screen;
        ::GetWindowRect(window_, &frame);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
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
    pending_ += FromConsole(lines) + L"\r\n";
    if (!timed_)
        timed_ = ::SetTimer(window_, kFlushTimer, static_cast<UINT>(interval_.count()), nullptr);
    // Without a timer, shown at once.
    if (!timed_)
        Flush();
}

void TStampConsole::Flush() {
    ::KillTimer(window_, kFlushTimer);
    timed_ = false;
    if (pending_.empty())
        return;
    const auto start = std::chrono::steady_clock::now();
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(output_));
    ::SendMessageW(output_, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(output_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pending_.c_str()));
    pending_.clear();
    Trim();
    ::UpdateWindow(output_);
    // An edit control may work over its whole text at each append, as Wine's does: the more a
    // piece cost to show, the longer the output gathers before the next, so that showing it costs
    // the run a small share of its time however long the output grows.
    const auto cost = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    interval_ = std::clamp(cost * kWaitPerCost, kLeastWait, kMostWait);
}

void TStampConsole::Trim() {
    // The last line, after the output's last line break, is empty.
    const auto lines = ::SendMessageW(output_, EM_GETLINECOUNT, 0, 0) - 1;
    // Cut a quarter at a time: each cut is one more pass over the whole text.
    if (lines <= kKeptLines + kKeptLines / 4)
        return;
    const auto cut =
        ::SendMessageW(output_, EM_LINEINDEX, static_cast<WPARAM>(lines - kKeptLines), 0);
    ::SendMessageW(output_, EM_SETSEL, 0, cut);
    ::SendMessageW(output_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(output_));
    ::SendMessageW(output_, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(output_, EM_SCROLLCARET, 0, 0);
}

void TStampConsole::Progress(std::size_t done) {
    ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void TStampConsole::End(const std::string& summary) {
    Flush();
    ::SetWindowTextW(summary_, Shown(summary).c_str());
    ::EnableWindow(close_, TRUE);
    // The focus may stand on the stop button: it goes on to the close button, not nowhere.
    if (::GetFocus() == stop_)
        ::SetFocus(close_);
    ::EnableWindow(stop_, FALSE);
}

void TStampConsole::Connect(std::function<void()> stop, std::function<bool()> closing) {
    stopped_ = std::move(stop);
    closing_ = std::move(closing);
}

} // namespace win32
