#include "platform/Process.h"

#include "platform/UniqueFd_posix.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

struct Process::State {
    pid_t pid = 0;
    /// Held while the process is reaped and while it is stopped: a pid reaped may be another
    /// process's at once.
    std::mutex reaping;
    UniqueFd out;
    UniqueFd err;
};

namespace {

/// This process's environment with `settings` on top, as exec takes it.
std::vector<std::string>
MergedEnvironment(const std::vector<std::pair<std::string, std::string>>& settings) {
    std::vector<std::string> variables;
    for (char** p = environ; *p; ++p) {
        const std::string entry(*p);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& setting : settings)
            replaced = replaced || setting.first == name;
        if (!replaced)
            variables.push_back(entry);
    }
    for (const auto& [name, value] : settings)
        variables.push_back(name + "=" + value);
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

[[nodiscard]] std::error_code Pipe(UniqueFd& read, UniqueFd& write) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {errno, std::generic_category()};
    read = UniqueFd(ends[0]);
    write = UniqueFd(ends[1]);
    // Gather reads what came in one go: the writer waits only where more than this came meanwhile.
    // Where the system allows no larger pipe, the default one serves.
    (void)::fcntl(ends[1], F_SETPIPE_SZ, 1 << 20);
    (void)::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    return {};
}

/// Appends all that `fd` holds now; closes it at its end or on an error.
void Drain(UniqueFd& fd, std::string& sink) {
    char buffer[65536];
    while (fd) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n > 0)
            sink.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN)
            return;
        else
            fd.reset();
    }
}

/// Where the new process starts, what it inherits and its own session.
struct Spawn {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    Spawn() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    ~Spawn() {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    void Prepare(const ProcessStart& start, int out, int err) {
        ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_adddup2(&actions, out, 1);
        ::posix_spawn_file_actions_adddup2(&actions, err, 2);
        if (start.heldFolder)
            ::posix_spawn_file_actions_addfchdir_np(
                &actions, static_cast<int>(start.heldFolder->NativeHandle()));
        else if (!start.folder.empty())
            ::posix_spawn_file_actions_addchdir_np(&actions, start.folder.c_str());
        if (start.held) {
            // A descriptor duplicated onto itself stays open across exec.
            const int fd = static_cast<int>(start.held->NativeHandle());
            ::posix_spawn_file_actions_adddup2(&actions, fd, fd);
        }
        for (const HeldFolder* folder : start.passedFolders) {
            const int fd = static_cast<int>(folder->NativeHandle());
            ::posix_spawn_file_actions_adddup2(&actions, fd, fd);
        }
        // A session of its own, no signal blocked, and the signals the program caught back at
        // their defaults. SIGPIPE stays as the program has it: where it is ignored, the process
        // runs to its end even when whoever read its output has gone.
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGCHLD})
            sigaddset(&defaults, signal);
        ::posix_spawnattr_setsigmask(&attributes, &none);
        ::posix_spawnattr_setsigdefault(&attributes, &defaults);
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                    POSIX_SPAWN_SETSIGDEF);
    }
};

} // namespace

Process::Process() : state_(std::make_unique<State>()) {}

Process::~Process() {
    if (Running())
        Wait();
}

std::error_code Process::Start(const ProcessStart& start) {
    if (Running() || start.command.empty())
        return std::make_error_code(std::errc::invalid_argument);
    UniqueFd outRead, outWrite, errRead, errWrite;
    if (const std::error_code error = Pipe(outRead, outWrite))
        return error;
    if (start.separateErrors)
        if (const std::error_code error = Pipe(errRead, errWrite))
            return error;

    std::vector<std::string> arguments = start.command;
    std::vector<std::string> variables = MergedEnvironment(start.environment);
    Spawn spawn;
    spawn.Prepare(start, outWrite.get(), start.separateErrors ? errWrite.get() : outWrite.get());
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, arguments.front().c_str(), &spawn.actions, &spawn.attributes,
                      Pointers(arguments).data(), Pointers(variables).data());
    if (spawned != 0)
        return {spawned, std::generic_category()};
    state_->pid = pid;
    state_->out = std::move(outRead);
    state_->err = std::move(errRead);
    return {};
}

bool Process::Gather(std::string& out, std::string& err, int intervalMs) {
    State& state = *state_;
    if (!state.out && !state.err)
        return false;
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(intervalMs);
    for (;;) {
        // Asked for no event, poll returns only once every writer has closed a pipe, or at the
        // end of the interval: output arriving meanwhile wakes nothing.
        struct pollfd fds[2] = {{state.out.get(), 0, 0}, {state.err.get(), 0, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (::poll(fds, 2, static_cast<int>(std::max<long long>(0, left))) >= 0 || errno != EINTR)
            break;
    }
    Drain(state.out, out);
    Drain(state.err, err);
    return state.out || state.err;
}

ProcessEnd Process::Reap() {
    ProcessEnd end;
    int status = 0;
    struct rusage usage {};
    // Waited for first without reaping it, so that Stop never meets a pid already given away.
    siginfo_t ended{};
    while (::waitid(P_PID, static_cast<id_t>(state_->pid), &ended, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    const std::lock_guard<std::mutex> hold(state_->reaping);
    while (::wait4(state_->pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    state_->pid = 0;
    end.peakKilobytes = usage.ru_maxrss;
    end.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

bool Process::Running() const {
    return state_->pid != 0;
}

std::error_code Process::Stop() {
    const std::lock_guard<std::mutex> hold(state_->reaping);
    // Never 0: that would reach this program's own process group.
    if (state_->pid <= 0 || ::kill(state_->pid, SIGTERM) == 0)
        return {};
    return {errno, std::generic_category()};
}

} // namespace platform
