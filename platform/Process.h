#pragma once

#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"

#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

/// What a process is started with.
struct ProcessStart {
    /// The program, by its path, and its arguments, exactly as given: no shell, no wildcards. On
    /// Windows they are joined into one command line as the C runtime splits it back; an
    /// argument enclosed in double quotes stands as it is (the command interpreter's own quoting).
    std::vector<std::string> command;
    /// The folder it starts in; the held folder where one is given, else this path, else the
    /// current directory.
    const HeldFolder* heldFolder = nullptr;
    std::string folder;
    /// Settings on top of this process's environment.
    std::vector<std::pair<std::string, std::string>> environment;
    /// A held file that passes into the process, such as the script it runs.
    const HeldFile* held = nullptr;
    /// Held folders that pass into the process, so that the paths their Inside gives lead into
    /// them for the process and its children too (where those paths go through the handle).
    std::vector<const HeldFolder*> passedFolders;
    /// Where named, Stop asks the process to end at a moment of its own choosing by creating the
    /// file this environment variable names (a file of this process's own, made for the run);
    /// the process looks for it. Used on Windows, whose processes catch no signal; elsewhere Stop
    /// sends a termination signal, which the process may catch to the same end.
    std::string stopMarkerVariable;
    /// Standard error through a pipe of its own; otherwise it shares standard output's, in the
    /// order written.
    bool separateErrors = false;
};

/// How a process ended.
struct ProcessEnd {
    int exitStatus = -1;    ///< Its exit status; -1 where it did not exit normally.
    long peakKilobytes = 0; ///< Its peak resident memory, where the system tells.
};

/// A program run as a process of its own, its output captured: the same on every system. It runs
/// in a session of its own, so that what is meant for the program that started it (a terminal's
/// interrupt or hang-up, the end of a console) does not cut it short.
class Process {
public:
    Process();
    /// A process still running is waited for: never cut short, never left unreaped.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    /// Starts the process; it reads nothing.
    [[nodiscard]] std::error_code Start(const ProcessStart& start);

    /// Waits `intervalMs`, or less where the process and every process it started close their
    /// output sooner, then appends all output that arrived meanwhile: standard output to `out`,
    /// standard error to `err` where it is separate. Output that comes a line at a time wakes this
    /// process once per interval instead of once per line. False once the output is closed and
    /// read to its end.
    bool Gather(std::string& out, std::string& err, int intervalMs);

    /// Blocks until the process has ended, once its output is read to the end.
    ProcessEnd Wait();

    /// Asks the process started, and only that one, to end: a program it started in turn runs on
    /// to its own end, so that nothing it was doing is cut in the middle. On POSIX systems it is
    /// sent SIGTERM; where the start named a stop marker, the marker is created instead (see
    /// ProcessStart). May be called from another thread than the one that waits; nothing happens
    /// once the process has been waited for.
    [[nodiscard]] std::error_code Stop();

    /// True from a successful Start until Wait.
    bool Running() const;

private:
    /// Waits for the end of a process whose output is read to the end.
    ProcessEnd Reap();

    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform
