#pragma once

// A display of the test's own for Kronalo's real window: Xvfb with openbox, which gives the
// keyboard focus and the windows their frames, and xdotool for the user's hands.

#include "tests/support/ProgramRun.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace test {

/// Waits until `done` holds, or gives up after `seconds`; whether it held.
template <typename Done> bool WaitUntil(Done done, int seconds = 20) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

/// A program started as a job of a terminal would be: a process group of its own, which the
/// terminal's interrupt reaches as a whole.
class Job {
public:
    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job() {
        if (pid_ > 0) {
            ::kill(-pid_, SIGKILL);
            Wait();
        }
    }

    /// Starts `command` with `environment` added; false where it cannot start.
    bool Start(const std::vector<std::string>& command,
               const std::vector<std::string>& environment) {
        std::vector<std::string> variables = environment;
        for (char** p = environ; *p; ++p)
            variables.emplace_back(*p);
        std::vector<char*> argv, envp;
        for (const std::string& argument : command)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        for (std::string& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        posix_spawnattr_t attributes;
        ::posix_spawnattr_init(&attributes);
        ::posix_spawnattr_setpgroup(&attributes, 0);
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        const int error =
            ::posix_spawn(&pid_, argv[0], nullptr, &attributes, argv.data(), envp.data());
        ::posix_spawnattr_destroy(&attributes);
        if (error != 0)
            pid_ = 0;
        return error == 0;
    }

    pid_t Pid() const { return pid_; }

    /// Waits for the end; the raw wait status.
    int Wait() {
        int status = 0;
        while (pid_ > 0 && ::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = 0;
        return status;
    }

    /// True once the job has ended, without waiting; its raw wait status in `status`.
    bool Ended(int& status) {
        if (pid_ <= 0)
            return true;
        if (::waitpid(pid_, &status, WNOHANG) != pid_)
            return false;
        pid_ = 0;
        return true;
    }

private:
    pid_t pid_ = 0;
};

/// An X display of the test's own with a window manager, and the user's hands on it.
class XSession {
public:
    /// Why the session cannot be had here; empty once it runs.
    std::string Start() {
        for (const char* program :
             {"/usr/bin/Xvfb", "/usr/bin/openbox", "/usr/bin/xdotool", "/usr/bin/xprop"})
            if (!std::filesystem::exists(program))
                return std::string(program) + " is not installed (apt-get install xvfb openbox "
                                              "xdotool x11-utils)";
        // The server picks a number whose sockets it can take and names it on a pipe: a number
        // another server holds, even one seen only by its abstract socket, is never driven.
        const std::string picked = StartServer();
        if (picked.empty())
            return "Xvfb did not start a display of its own";
        display_ = ":" + picked;
        // The display is up once a client can ask it for its size.
        if (!WaitUntil([this] { return !Xdotool({"getdisplaygeometry"}).empty(); }))
            return "Xvfb did not come up";
        // A window shown before the manager has taken the display over may stay unmapped; the
        // manager names its check window on the root window once it is ready. A manager that
        // found the display not yet taking clients is started again.
        if (!WaitUntil([this] {
                int status = 0;
                if (manager_.Ended(status) && !manager_.Start({"/usr/bin/openbox"}, Environment()))
                    return false;
                ProgramRun run;
                return !RunProgram("/usr/bin/xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, "",
                                   {{"DISPLAY", display_}}, run) &&
                       run.out.find("window id") != std::string::npos;
            }))
            return "openbox did not take the display over";
        return {};
    }

    ~XSession() {
        // Asked to end, the display server removes its lock and socket.
        if (server_.Pid() > 0) {
            ::kill(server_.Pid(), SIGTERM);
            server_.Wait();
        }
    }

    /// What a program on this display needs in its environment.
    std::vector<std::string> Environment() const {
        return {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb"};
    }

    /// The display goes away, as when the user's X session dies.
    void Lose() {
        if (server_.Pid() > 0)
            ::kill(server_.Pid(), SIGKILL);
        server_.Wait();
        const std::string number = display_.substr(1);
        std::filesystem::remove("/tmp/.X11-unix/X" + number);
        std::filesystem::remove("/tmp/.X" + number + "-lock");
    }

    /// xdotool with `arguments` on this display; its output, empty where it failed.
    std::string Xdotool(const std::vector<std::string>& arguments) const {
        ProgramRun run;
        std::vector<std::pair<std::string, std::string>> environment = {{"DISPLAY", display_}};
        if (RunProgram("/usr/bin/xdotool", arguments, "", environment, run) || run.exitStatus != 0)
            return {};
        return run.out;
    }

    /// The visible windows called `name` (or of the class `name`, menus included, where `byClass`),
    /// each once, in the order X gives them.
    std::vector<std::string> Windows(const std::string& name, bool byClass = false) const {
        std::vector<std::string> windows;
        std::string out =
            Xdotool({"search", "--onlyvisible", byClass ? "--class" : "--name", "^" + name + "$"});
        // A window the manager reparents while the search walks the tree is met twice.
        for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
             start = end + 1)
            if (std::find(windows.begin(), windows.end(), out.substr(start, end - start)) ==
                windows.end())
                windows.push_back(out.substr(start, end - start));
        return windows;
    }

    /// A visible window called `name` other than `besides`; empty where none is shown.
    std::string WindowBesides(const std::string& name, const std::string& besides) const {
        for (const std::string& window : Windows(name))
            if (window != besides)
                return window;
        return {};
    }

    /// Waits until `count` windows called `name` are shown; the last of them.
    std::string WaitWindows(const std::string& name, std::size_t count) const {
        std::string found;
        WaitUntil([&] {
            const std::vector<std::string> windows = Windows(name);
            if (windows.size() < count)
                return false;
            found = windows.back();
            return true;
        });
        return found;
    }

    /// The outer size of `window`, its frame included, as "WIDTHxHEIGHT"; empty until the window
    /// manager has framed it.
    std::string OuterSize(const std::string& window) const {
        const std::string shell = Xdotool({"getwindowgeometry", "--shell", window});
        ProgramRun frame;
        if (RunProgram("/usr/bin/xprop", {"-id", window, "_NET_FRAME_EXTENTS"}, "",
                       {{"DISPLAY", display_}}, frame) ||
            frame.out.find('=') == std::string::npos)
            return {};
        int left = 0, right = 0, top = 0, bottom = 0, width = 0, height = 0;
        if (std::sscanf(frame.out.substr(frame.out.find('=') + 1).c_str(), " %d, %d, %d, %d", &left,
                        &right, &top, &bottom) != 4 ||
            std::sscanf(shell.substr(shell.find("WIDTH=")).c_str(), "WIDTH=%d\nHEIGHT=%d", &width,
                        &height) != 2)
            return {};
        return std::to_string(left + width + right) + "x" + std::to_string(top + height + bottom);
    }

    /// Keys pressed in `window`, as xdotool names them, separated by blanks; to whatever has the
    /// keyboard (an open menu) where `window` is empty.
    void Keys(const std::string& window, const std::string& keys) const {
        std::vector<std::string> arguments;
        if (!window.empty())
            arguments = {"windowactivate", "--sync", window};
        arguments.insert(arguments.end(), {"key", "--clearmodifiers"});
        for (std::size_t start = 0, end; start < keys.size(); start = end + 1) {
            end = std::min(keys.find(' ', start), keys.size());
            arguments.push_back(keys.substr(start, end - start));
        }
        Xdotool(arguments);
    }

    /// Presses `keys` in `window` until `done` holds, as a user presses again what a window that
    /// was still taking the focus missed; false where it never held. Each try waits longer than
    /// the last: on a busy machine a menu may open after the next try has begun, whose keys would
    /// close it again.
    template <typename Done>
    bool KeysUntil(const std::string& window, const std::string& keys, Done done) const {
        for (int attempt = 1; attempt <= 5; ++attempt) {
            Keys(window, keys);
            if (WaitUntil(done, 3 * attempt))
                return true;
        }
        return false;
    }

private:
    /// Starts Xvfb on a display number of its own choice; that number, empty where it failed.
    std::string StartServer() {
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            return {};
        // Only the writing end goes to the server.
        ::fcntl(pipe[1], F_SETFD, 0);
        const bool started = server_.Start({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipe[1]),
                                            "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                                           {});
        ::close(pipe[1]);
        std::string number;
        // The server writes the number once it takes clients; a server that ends writes nothing.
        pollfd ready{pipe[0], POLLIN, 0};
        char c = 0;
        while (started && ::poll(&ready, 1, 20000) == 1 && ::read(pipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(pipe[0]);
        if (c != '\n' || number.empty() || number.find_first_not_of("0123456789") != number.npos)
            return {};
        return number;
    }

    std::string display_;
    Job server_;
    Job manager_;
};

} // namespace test
