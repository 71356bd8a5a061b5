#include "platform/CommandShell.h"

#include "platform/Win32_win32.h"

namespace platform {
namespace {

/// The variable that hands the script's path to cmd.
constexpr const char* kScriptVariable = "KRONALO_SCRIPT";

/// cmd.exe in the system folder: by its bare name, CreateProcess would look in this program's
/// folder and in the current folder first.
std::string CmdPath() {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return "cmd.exe";
    return Narrow(folder) + "\\cmd.exe";
}

} // namespace

CommandShell NativeCommandShell() {
    return CommandShell::Cmd;
}

std::vector<std::string>
ScriptCommand(const HeldFile& script,
              std::vector<std::pair<std::string, std::string>>& environment) {
    // cmd /c reads the rest of its command line as a command: where the script's path holds any
    // of & ( ) ^ @ | it drops the quotes around it, and it expands %...% in it. So the path comes
    // through a variable, which cmd expands once and never reads again; /s keeps the quotes
    // around the expansion, /v:off leaves a ! as it is, /d runs no AutoRun command first.
    environment.emplace_back(kScriptVariable, script.Path());
    return {CmdPath(), "/d", "/v:off",
            "/s",      "/c", "\"\"%" + std::string(kScriptVariable) + "%\"\""};
}

} // namespace platform
