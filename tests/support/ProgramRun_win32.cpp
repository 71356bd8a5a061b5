#include "tests/support/ProgramRun.h"

#include "platform/Win32_win32.h"

#include <psapi.h>

#include <cstring>
#include <map>
#include <thread>

namespace test {
namespace {

/// One argument as the C runtime splits a command line back: quoted when it holds blanks or
/// quotes, backslashes doubled only before a quote.
std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
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

/// This process's environment with `overrides` set on top, as a block for CreateProcessA.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& overrides) {
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
    for (const auto& [name, value] : overrides)
        variables[name] = value;
    std::string result;
    for (const auto& [name, value] : variables)
        result += name + "=" + value + '\0';
    return result + '\0';
}

void Drain(HANDLE pipe, std::string& sink) {
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0)
        sink.append(buffer, n);
}

} // namespace

std::error_code RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& environment,
                           ProgramRun& run, const platform::HeldFile*) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(&outRead, &outWrite, &inherit, 0))
        return platform::LastError();
    platform::UniqueHandle outReader(outRead), outWriter(outWrite);
    if (!::CreatePipe(&errRead, &errWrite, &inherit, 0))
        return platform::LastError();
    platform::UniqueHandle errReader(errRead), errWriter(errWrite);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments)
        commandLine += " " + QuoteArgument(argument);
    std::string block = EnvironmentBlock(environment);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, block.data(),
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return platform::LastError();
    platform::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    outWriter.reset();
    errWriter.reset();

    run = ProgramRun{};
    std::thread errors(Drain, errRead, std::ref(run.err));
    Drain(outRead, run.out);
    errors.join();
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    run.exitStatus = static_cast<int>(code);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        run.peakKilobytes = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    return {};
}

} // namespace test
