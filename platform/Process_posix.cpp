#include "platform/Process.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

std::error_code RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& environment,
                           ProgramRun& run) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return {errno, std::generic_category()};
    UniqueFd outRead(outPipe[0]), outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        return {errno, std::generic_category()};
    UniqueFd errRead(errPipe[0]), errWrite(errPipe[1]);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0)
        return {errno, std::generic_category()};
    if (pid == 0) {
        // Only async-signal-safe work would be strictly right here; the caller is a
        // single-threaded test or benchmark, where setenv is safe as well.
        for (const auto& [name, value] : environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        if (::dup2(outWrite.get(), 1) < 0 || ::dup2(errWrite.get(), 2) < 0 ||
            (!folder.empty() && ::chdir(folder.c_str()) != 0))
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    outWrite.reset();
    errWrite.reset();

    run = ProgramRun{};
    struct pollfd fds[2] = {{outRead.get(), POLLIN, 0}, {errRead.get(), POLLIN, 0}};
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

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return {errno, std::generic_category()};
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {};
}

} // namespace platform
