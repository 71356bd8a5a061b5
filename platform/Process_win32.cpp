#include "platform/Process.h"

#include "platform/Win32_win32.h"

#include <psapi.h>

#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

struct Process::State {
    UniqueHandle process;
    UniqueHandle out;
    UniqueHandle err;
    /// Standard error, where separate, is read on a thread of its own meanwhile.
    std::thread errReader;
    std::string errors;
};

namespace {

/// One argument as the C runtime splits a command line back: quoted when it holds blanks or
/// quotes, backslashes doubled only before a quote. One already in double quotes stands.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

/// This process's environment with `settings` on top, as a block for CreateProcessA.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& settings) {
    std::map<std::string, std::string> variables;
    if (char* block = ::GetEnvironmentStringsA()) {
        for (const char* p = block; *p; p += std::strlen(p) + 1) {
            const std::string entry(p);
            const std::size_t equals = entry.find('=', 1);
            if (equals != std::string::npos)
                variables[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        ::FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : settings)
        variables[name] = value;
    std::string result;
    for (const auto& [name, value] : variables)
        result += name + "=" + value + '\0';
    return result + '\0';
}

/// A pipe whose writing end the new process inherits and whose reading end stays here.
std::error_code Pipe(UniqueHandle& read, UniqueHandle& write) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading, writing;
    if (!::CreatePipe(&reading, &writing, &inherit, 0))
        return LastError();
    read.reset(reading);
    write.reset(writing);
    ::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    return {};
}

bool ReadSome(HANDLE pipe, std::string& sink) {
    char buffer[65536];
    DWORD n = 0;
    if (!::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) || n == 0)
        return false;
    sink.append(buffer, n);
    return true;
}

} // namespace

Process::Process() : state_(std::make_unique<State>()) {}

Process::~Process() {
    if (Running())
        Wait();
}

std::error_code Process::Start(const ProcessStart& start) {
    if (Running() || start.command.empty())
        return std::make_error_code(std::errc::invalid_argument);
    UniqueHandle outRead, outWrite, errRead, errWrite;
    if (const std::error_code error = Pipe(outRead, outWrite))
        return error;
    if (start.separateErrors)
        if (const std::error_code error = Pipe(errRead, errWrite))
            return error;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle nothing(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr));

    std::string line;
    for (const std::string& argument : start.command)
        line += (line.empty() ? "" : " ") + QuoteArgument(argument);
    std::string block = EnvironmentBlock(start.environment);
    const std::string folder = start.heldFolder ? start.heldFolder->Path() : start.folder;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing.get();
    startup.hStdOutput = outWrite.get();
    startup.hStdError = start.separateErrors ? errWrite.get() : outWrite.get();
    PROCESS_INFORMATION started{};
    // No console of its own: its output is shown by the program that started it.
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP, block.data(),
                          folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return LastError();
    ::CloseHandle(started.hThread);
    state_->process.reset(started.hProcess);
    state_->out.reset(outRead.release());
    if (start.separateErrors) {
        state_->err.reset(errRead.release());
        state_->errReader = std::thread([state = state_.get()] {
            while (ReadSome(state->err.get(), state->errors)) {
            }
        });
    }
    return {};
}

bool Process::Read(std::string& out, std::string& err) {
    State& state = *state_;
    if (state.out && ReadSome(state.out.get(), out))
        return true;
    state.out.reset();
    if (state.errReader.joinable()) {
        state.errReader.join();
        state.err.reset();
        if (!state.errors.empty()) {
            err += state.errors;
            state.errors.clear();
            return true;
        }
    }
    return false;
}

ProcessEnd Process::Wait() {
    ProcessEnd end;
    if (!Running())
        return end;
    std::string ignored;
    while (Read(ignored, ignored))
        ignored.clear();
    const HANDLE process = state_->process.get();
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    end.exitStatus = static_cast<int>(code);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(process, &memory, sizeof memory))
        end.peakKilobytes = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    state_->process.reset();
    return end;
}

bool Process::Running() const {
    return static_cast<bool>(state_->process);
}

} // namespace platform
