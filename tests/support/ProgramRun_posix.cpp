#include "tests/support/ProgramRun.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {
namespace {

/// This process's environment with `environment` set on top, as posix_spawn takes it.
std::vector<std::string>
MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& environment) {
    std::vector<std::string> variables;
    for (char** p = environ; *p; ++p) {
        const std::string entry(*p);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& setting : environment)
            replaced = replaced || setting.first == name;
        if (!replaced)
            variables.push_back(entry);
    }
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    return variables;
}

/// Reads both pipes until the program has closed them.
void Collect(int outFd, int errFd, ProgramRun& run) {
    struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

} // namespace

std::error_code RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& environment,
                           ProgramRun& run, const platform::HeldFile* held) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return {errno, std::generic_category()};
    platform::UniqueFd outRead(outPipe[0]), outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        return {errno, std::generic_category()};
    platform::UniqueFd errRead(errPipe[0]), errWrite(errPipe[1]);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables = MergedEnvironment(environment);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    // posix_spawn starts the child without copying this process's memory first.
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, outWrite.get(), 1);
    ::posix_spawn_file_actions_adddup2(&actions, errWrite.get(), 2);
    if (!folder.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (held) {
        // A descriptor duplicated onto itself stays open across exec.
        const int fd = static_cast<int>(held->NativeHandle());
        ::posix_spawn_file_actions_adddup2(&actions, fd, fd);
    }
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {spawned, std::generic_category()};
    outWrite.reset();
    errWrite.reset();

    run = ProgramRun{};
    Collect(outRead.get(), errRead.get(), run);
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            return {errno, std::generic_category()};
    }
    run.peakKilobytes = usage.ru_maxrss;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {};
}

} // namespace test
