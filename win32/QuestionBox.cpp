#include "win32/QuestionBox.h"

namespace win32 {
namespace {

HHOOK hook = nullptr;

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

} // namespace

engine::Answer AskQuestion(HWND owner, const wchar_t* text, const wchar_t* caption) {
    hook = ::SetWindowsHookExW(WH_MSGFILTER, EscapeMeansNo, nullptr, ::GetCurrentThreadId());
    const int answer =
        ::MessageBoxW(owner, text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    hook = nullptr;
    switch (answer) {
    case IDYES:
        return engine::Answer::Yes;
    case IDNO:
        return engine::Answer::No;
    default:
        return engine::Answer::Closed;
    }
}

} // namespace win32
