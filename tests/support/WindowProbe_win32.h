#pragma once

// Reads another process's Kronalo window the way a user sees it, and acts on it: from a process
// of its own, through the controls' messages. Texts are read as UTF-16 (SendMessageW; Wine
// returns one character for a cross-process LB_GETTEXT through SendMessageA) and handed back as
// UTF-8.

#include "platform/WideText.h"
#include "win32/ControlIds.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace test {

/// A message as a box of the window shows it: line breaks as CR LF.
inline std::string Shown(const std::string& utf8) {
    std::string shown;
    for (const char c : utf8) {
        shown += c;
        if (c == '\r')
            shown += '\n';
    }
    return shown;
}

namespace ids = win32::ids;

/// Kronalo.exe started from a program folder of the test's, and its main window.
class WindowProbe {
public:
    /// Starts `program` with `arguments` in `folder` and waits for its window. Each argument is
    /// quoted as the C runtime splits it back, or, where `asTyped`, put on the command line as it
    /// stands, quotes and all, as a shell's command might write it.
    WindowProbe(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& folder, bool asTyped = false) {
        std::string line = "\"" + program + "\"";
        for (const std::string& argument : arguments)
            line += " " + (asTyped ? argument : Quoted(argument));
        std::wstring wide = platform::Wide(line);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              platform::Wide(folder).c_str(), &startup, &started))
            return;
        process_ = started.hProcess;
        ::CloseHandle(started.hThread);
        id_ = started.dwProcessId;
        window_ = WaitFor([this] { return FindTopLevel(ids::kWindowClass); });
    }
    ~WindowProbe() {
        if (process_) {
            if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(process_, 1);
            ::CloseHandle(process_);
        }
    }
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }

    /// A window's text, however long.
    static std::string TextOf(HWND window) {
        const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::SendMessageW(
            window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        return platform::Narrow(text);
    }
    std::string Text(int id) const { return TextOf(Control(id)); }

    std::vector<std::string> Items() const {
        const HWND list = Control(ids::kFileList);
        std::vector<std::string> items;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[1024] = L"";
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(text));
            items.push_back(platform::Narrow(text));
        }
        return items;
    }
    std::vector<bool> Selected() const {
        const HWND list = Control(ids::kFileList);
        std::vector<bool> flags;
        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i)
            flags.push_back(::SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
        return flags;
    }
    bool Checked(int id) const {
        return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    /// The identifier of the control that has the keyboard focus; 0 for none of the window's.
    int Focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window_, nullptr), &info) ||
            !info.hwndFocus)
            return 0;
        // The edit inside a drop-down counts as the drop-down.
        HWND focus = info.hwndFocus;
        while (focus && ::GetParent(focus) != window_)
            focus = ::GetParent(focus);
        return focus ? ::GetDlgCtrlID(focus) : 0;
    }

    /// Clicks a button without waiting for what it opens.
    void Press(int id) const { ::PostMessageW(Control(id), BM_CLICK, 0, 0); }
    /// Sends the command a menu entry or a key of the window sends.
    void Command(int id) const { ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    /// Sets an edit's text as the program would.
    void SetText(int id, const std::string& text) const {
        ::SendMessageW(Control(id), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
    }
    /// Lets the window handle what was posted to it.
    void Settle() const {
        // A sent message is handled before the posted ones waiting in the queue: the first one
        // returns once the window takes messages again, the second once what was posted before
        // has been handled too.
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        }
    }

    /// Tells the window that its display's scale is now `dpi`, as Windows does when it moves to a
    /// monitor of another scale, with the frame Windows suggests: written into the program's own
    /// memory, where the message's pointer points.
    void ChangeScale(int dpi, const RECT& suggested) const {
        void* remote = ::VirtualAllocEx(process_, nullptr, sizeof suggested,
                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remote ||
            !::WriteProcessMemory(process_, remote, &suggested, sizeof suggested, nullptr))
            return;
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                              reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &ignored);
        ::VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
    }

    /// A message box of the program's, once one is up: its caption and text.
    struct Box {
        HWND window = nullptr;
        std::string caption;
        std::string text;
    };
    /// Waits for a message box of the program's, looking every `step`; a benchmark looks seldom,
    /// as each look costs the program's own work time under Wine.
    Box WaitBox(std::chrono::milliseconds step = std::chrono::milliseconds(20)) const {
        Box box;
        box.window = WaitFor([this] { return FindTopLevel(L"#32770"); }, step);
        if (box.window) {
            box.caption = TextOf(box.window);
            box.text = TextOf(::GetDlgItem(box.window, 0xFFFF));
        }
        return box;
    }
    /// Answers the box with the button `id` (IDOK, IDYES, IDNO) and waits until it is gone.
    void Answer(const Box& box, int id) const {
        ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box.window, id)));
        WaitFor([&box] { return ::IsWindow(box.window) ? nullptr : box.window; });
    }

    /// Keys as the user presses them, through the X server: xdotool's names ("alt+d", "F6"), to
    /// the window of the program's whose caption is `caption` (the main window's by default).
    /// They arrive in their own time: wait for what they do.
    void Keys(const std::string& keys, const std::string& caption = {}) const {
        // The keys go to the window that has the X server's focus.
        Run("/usr/bin/xdotool search --limit 1 --name \"^" +
            (caption.empty() ? TextOf(window_) : caption) + "$\" windowactivate --sync");
        Run("/usr/bin/xdotool key --delay 50 " + keys);
        // The next keys must not meet a modifier that Wine still holds down.
        Until([] {
            return !(::GetAsyncKeyState(VK_MENU) & 0x8000) &&
                   !(::GetAsyncKeyState(VK_CONTROL) & 0x8000) &&
                   !(::GetAsyncKeyState(VK_SHIFT) & 0x8000);
        });
    }
    /// Types `text` into whatever has the focus; it arrives in its own time.
    void Type(const std::string& text) const {
        // Wine splits a Unix program's command line as Windows does: double quotes only.
        Run("/usr/bin/xdotool type --delay 20 \"" + text + "\"");
    }
    /// The program's visible top-level window of the class `type`, once one is up.
    HWND WaitTopLevel(const wchar_t* type) const {
        return WaitFor([this, type] { return FindTopLevel(type); });
    }
    /// Waits until `done` holds, or gives up after a while; whether it held.
    template <typename Done> static bool Until(Done done) {
        return WaitFor([&done]() -> HWND {
                   return done() ? reinterpret_cast<HWND>(1) : nullptr;
               }) != nullptr;
    }

    /// Asks the window to close and waits for the process to end; its exit status.
    DWORD Close() const {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(process_, 20000);
        DWORD status = 1;
        ::GetExitCodeProcess(process_, &status);
        return status;
    }

    /// A Unix program, which Wine starts as it is; waits for its end.
    static void Run(std::string line) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started)) {
            ::WaitForSingleObject(started.hProcess, 10000);
            ::CloseHandle(started.hProcess);
            ::CloseHandle(started.hThread);
        }
    }

private:
    /// An argument as the C runtime splits it back: backslashes before a quote doubled.
    static std::string Quoted(const std::string& argument) {
        std::string quoted = "\"";
        std::size_t backslashes = 0;
        for (const char c : argument) {
            backslashes = c == '\\' ? backslashes + 1 : 0;
            quoted += c;
        }
        return quoted + std::string(backslashes, '\\') + "\"";
    }

    /// The first visible top-level window of the class in the process.
    HWND FindTopLevel(const wchar_t* type) const {
        struct Search {
            DWORD id;
            const wchar_t* type;
            HWND found;
        } search{id_, type, nullptr};
        ::EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                wchar_t name[64] = L"";
                ::GetClassNameW(window, name, 64);
                if (owner == s.id && ::IsWindowVisible(window) && std::wstring(name) == s.type) {
                    s.found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    template <typename Find>
    static HWND WaitFor(Find find, std::chrono::milliseconds step = std::chrono::milliseconds(20)) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            if (const HWND found = find())
                return found;
            std::this_thread::sleep_for(step);
        }
        return nullptr;
    }

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

} // namespace test
