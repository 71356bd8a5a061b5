#include "platform/Process.h"

#include "platform/Win32_win32.h"

#include <psapi.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

struct Process::State {
    UniqueHandle process;
    /// Held while the process's handle is let go of and while it is stopped.
    std::mutex reaping;
    /// Standard output's reading end, read overlapped so that a read can wait with a timeout.
    UniqueHandle out;
    UniqueHandle outEvent;
    OVERLAPPED reading{};
    bool pending = false;
    char buffer[65536];
    UniqueHandle err;
    /// Standard error, where separate, is read on a thread of its own meanwhile.
    std::thread errReader;
    std::string errors;
    /// The file whose coming into being asks the process to stop, where the start named one.
    std::wstring stopMarker;

    /// Blocks until output arrives, or `timeoutMs` has passed, and appends it as Gather does;
    /// false once the output is closed.
    bool Read(std::string& outText, std::string& errText, int timeoutMs);
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

/// Environment names compare without regard to case on Windows.
struct NameOrder {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    }
};

/// This process's environment with `settings` on top, as a block for CreateProcessW: the wide
/// block carries every value exactly, names of any letter included.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& settings) {
    std::map<std::wstring, std::wstring, NameOrder> variables;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += std::wcslen(p) + 1) {
            const std::wstring entry(p);
            const std::size_t equals = entry.find(L'=', 1);
            if (equals != std::wstring::npos)
                variables[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        ::FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : settings)
        variables[Wide(name)] = Wide(value);
    std::wstring result;
    for (const auto& [name, value] : variables)
        result += name + L"=" + value + L'\0';
    return result + L'\0';
}

/// A pipe whose writing end the new process inherits and whose reading end stays here, opened
/// for overlapped reading: a named pipe, as anonymous ones cannot be.
[[nodiscard]] std::error_code OverlappedPipe(UniqueHandle& read, UniqueHandle& write) {
    static LONG serial = 0;
    const std::string name = "\\\\.\\pipe\\kronalo-" + std::to_string(::GetCurrentProcessId()) +
                             "-" + std::to_string(::InterlockedIncrement(&serial));
    read.reset(::CreateNamedPipeA(
        name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 65536, 65536, 0, nullptr));
    if (!read)
        return LastError();
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    write.reset(::CreateFileA(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!write)
        return LastError();
    return {};
}

/// A pipe whose writing end the new process inherits and whose reading end stays here.
[[nodiscard]] std::error_code Pipe(UniqueHandle& read, UniqueHandle& write) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading, writing;
    if (!::CreatePipe(&reading, &writing, &inherit, 0))
        return LastError();
    read.reset(reading);
    write.reset(writing);
    ::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    return {};
}

/// A name in the user's own temporary folder that no other process of this program takes: the
/// stop marker of one process started.
std::wstring StopMarkerPath() {
    static LONG serial = 0;
    wchar_t folder[MAX_PATH + 1] = L"";
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return {};
    return folder + Wide("kronalo-stop-" + std::to_string(::GetCurrentProcessId()) + "-" +
                         std::to_string(::InterlockedIncrement(&serial)) + ".flag");
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
    if (state_->pending) {
        ::CancelIo(state_->out.get());
        DWORD ignored = 0;
        ::GetOverlappedResult(state_->out.get(), &state_->reading, &ignored, TRUE);
    }
}

std::error_code Process::Start(const ProcessStart& start) {
    if (Running() || start.command.empty())
        return std::make_error_code(std::errc::invalid_argument);
    UniqueHandle outRead, outWrite, errRead, errWrite;
    if (const std::error_code error = OverlappedPipe(outRead, outWrite))
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
    std::wstring wideLine = Wide(line);
    std::vector<std::pair<std::string, std::string>> environment = start.environment;
    std::wstring marker;
    if (!start.stopMarkerVariable.empty()) {
        marker = StopMarkerPath();
        // One left by a process of the same number long ago would stop this one at once.
        ::DeleteFileW(marker.c_str());
        environment.emplace_back(start.stopMarkerVariable, Narrow(marker));
    }
    std::wstring block = EnvironmentBlock(environment);
    const std::wstring folder = Wide(start.heldFolder ? start.heldFolder->Path() : start.folder);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing.get();
    startup.hStdOutput = outWrite.get();
    startup.hStdError = start.separateErrors ? errWrite.get() : outWrite.get();
    PROCESS_INFORMATION started{};
    // No console of its own: its output is shown by the program that started it.
    if (!::CreateProcessW(nullptr, wideLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT,
                          block.data(), folder.empty() ? nullptr : folder.c_str(), &startup,
                          &started))
        return LastError();
    ::CloseHandle(started.hThread);
    state_->process.reset(started.hProcess);
    state_->stopMarker = std::move(marker);
    state_->out.reset(outRead.release());
    state_->outEvent.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    state_->pending = false;
    if (start.separateErrors) {
        state_->err.reset(errRead.release());
        state_->errReader = std::thread([state = state_.get()] {
            while (ReadSome(state->err.get(), state->errors)) {
            }
        });
    }
    return {};
}

bool Process::State::Read(std::string& outText, std::string& errText, int timeoutMs) {
    while (out) {
        // One read stands at a time; one that has not finished by the timeout stays for the next
        // call.
        DWORD got = 0;
        bool done = false;
        if (!pending) {
            reading = OVERLAPPED{};
            reading.hEvent = outEvent.get();
            if (::ReadFile(out.get(), buffer, sizeof buffer, nullptr, &reading)) {
                done = true;
            } else if (::GetLastError() == ERROR_IO_PENDING) {
                pending = true;
            } else {
                out.reset();
                break;
            }
        }
        if (!done) {
            if (::WaitForSingleObject(outEvent.get(), static_cast<DWORD>(timeoutMs)) ==
                WAIT_TIMEOUT)
                return true;
            pending = false;
        }
        if (!::GetOverlappedResult(out.get(), &reading, &got, FALSE)) {
            out.reset();
            break;
        }
        if (got > 0) {
            outText.append(buffer, got);
            return true;
        }
    }
    if (errReader.joinable()) {
        errReader.join();
        err.reset();
        if (!errors.empty()) {
            errText += errors;
            errors.clear();
            return true;
        }
    }
    return false;
}

bool Process::Gather(std::string& out, std::string& err, int intervalMs) {
    // A pipe here wakes its reader for each write whatever it waits for: read as it comes until
    // the interval is over.
    const DWORD until = ::GetTickCount() + static_cast<DWORD>(intervalMs);
    for (;;) {
        const auto left = static_cast<int>(until - ::GetTickCount());
        if (!state_->Read(out, err, std::max(0, left)))
            return false;
        if (left <= 0)
            return true;
    }
}

ProcessEnd Process::Reap() {
    ProcessEnd end;
    const HANDLE process = state_->process.get();
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    end.exitStatus = static_cast<int>(code);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(process, &memory, sizeof memory))
        end.peakKilobytes = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    const std::lock_guard<std::mutex> hold(state_->reaping);
    state_->process.reset();
    if (!state_->stopMarker.empty())
        ::DeleteFileW(state_->stopMarker.c_str());
    state_->stopMarker.clear();
    return end;
}

bool Process::Running() const {
    return static_cast<bool>(state_->process);
}

std::error_code Process::Stop() {
    const std::lock_guard<std::mutex> hold(state_->reaping);
    if (!state_->process)
        return {};
    if (!state_->stopMarker.empty()) {
        // The process ends when it next looks for the marker, at a moment of its own choosing.
        UniqueHandle marker(::CreateFileW(state_->stopMarker.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        return marker ? std::error_code() : LastError();
    }
    // The interpreter alone: the program it runs now ends by itself, and nothing follows it.
    if (::TerminateProcess(state_->process.get(), 1))
        return {};
    return LastError();
}

} // namespace platform
