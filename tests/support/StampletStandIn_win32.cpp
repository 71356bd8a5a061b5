// Stands in for Stamplet.exe where a test must catch the stamp script in the middle of a call.
// Each call is counted as a line of "calls.txt" beside it; the call that "wait at.txt" there
// names waits until a file "go" appears there too. Then the real Stamplet, "Stamplet real.exe"
// beside it, runs with the call's own arguments, and its exit status is the call's.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

std::filesystem::path Beside(const wchar_t* name) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / name;
}

/// The command line after the program's own name, as it came.
const wchar_t* Arguments() {
    const wchar_t* line = ::GetCommandLineW();
    for (bool quoted = false; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

/// Counts this call and returns its number, the first 1.
long CountCall() {
    const std::filesystem::path calls = Beside(L"calls.txt");
    std::ofstream(calls, std::ios::app | std::ios::binary) << "call\n";
    std::ifstream counted(calls);
    return static_cast<long>(std::count(std::istreambuf_iterator<char>(counted),
                                        std::istreambuf_iterator<char>(), '\n'));
}

/// Waits for "go" where this is the call to wait at; gives up after a minute, so that a test
/// that failed leaves no process behind for long.
void WaitIfAsked(long call) {
    long waitAt = 0;
    std::ifstream(Beside(L"wait at.txt")) >> waitAt;
    if (call != waitAt)
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!std::filesystem::exists(Beside(L"go")) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

} // namespace

int main() {
    WaitIfAsked(CountCall());
    const std::wstring real = Beside(L"Stamplet real.exe").wstring();
    std::wstring line = L"\"" + real + L"\" " + Arguments();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(real.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started))
        return 2;
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 2;
    ::GetExitCodeProcess(started.hProcess, &status);
    ::CloseHandle(started.hProcess);
    ::CloseHandle(started.hThread);
    return static_cast<int>(status);
}
