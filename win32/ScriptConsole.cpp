#include "win32/ScriptConsole.h"

#include "platform/CommandShell.h"

namespace win32 {

TScriptConsole::TScriptConsole(HWND notify, UINT endMessage)
    : notify_(notify), endMessage_(endMessage) {}

TScriptConsole::~TScriptConsole() {
    if (process_)
        ::WaitForSingleObject(process_, INFINITE);
    if (waiter_.joinable())
        waiter_.join();
    if (process_)
        ::CloseHandle(process_);
    ended_ = nullptr;
}

bool TScriptConsole::Start(const engine::ScriptLaunch& launch,
                           std::function<void(const engine::ScriptOutcome&)> ended) {
    if (process_)
        return false;
    // cmd /c takes the rest of the line as it stands once it has dropped one pair of quotes.
    const std::vector<std::string> command = platform::ScriptCommand(launch.script);
    std::string line = command.front() + " /c \"\"" + command.back() + "\"\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                          nullptr, launch.folder.Path().c_str(), &startup, &started))
        return false;
    ::CloseHandle(started.hThread);
    process_ = started.hProcess;
    ended_ = std::move(ended);
    waiter_ = std::thread([process = process_, window = notify_, message = endMessage_] {
        ::WaitForSingleObject(process, INFINITE);
        ::PostMessageA(window, message, 0, 0);
    });
    return true;
}

void TScriptConsole::WaitForEnd() {
    if (!process_)
        return;
    ::WaitForSingleObject(process_, INFINITE);
    Ended();
}

void TScriptConsole::Ended() {
    if (!process_)
        return;
    if (waiter_.joinable())
        waiter_.join();
    DWORD code = 1;
    ::GetExitCodeProcess(process_, &code);
    ::CloseHandle(process_);
    process_ = nullptr;
    engine::ScriptOutcome outcome;
    outcome.finished = code == 0;
    // The end may start a new run from its message box; hand over a fresh callback slot.
    auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended)
        ended(outcome);
}

} // namespace win32
