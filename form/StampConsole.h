#pragma once

#include "engine/ScriptRun.h"
#include "engine/StampTally.h"
#include "platform/Process.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace form {

/// What a console window shows of a stamp script; each window gives its own.
class TConsoleView {
public:
    virtual ~TConsoleView() = default;
    /// Shows the console, emptied, for a script of `calls` Stamplet calls, with `status` below,
    /// and offers its stop button until End.
    virtual void Begin(std::size_t calls, const std::string& status) = 0;
    /// Appends whole lines of the script's output, as UTF-8 text.
    virtual void Append(std::string_view lines) = 0;
    /// The Stamplet calls done so far.
    virtual void Progress(std::size_t done) = 0;
    /// The script has ended: `summary` below the output, and the console can be closed.
    virtual void End(const std::string& summary) = 0;
    /// What the console's own controls do: `stop` for its stop button, and `closing`, asked when
    /// the user closes the console, false to keep it open. Given once, by what owns the console.
    virtual void Connect(std::function<void()> stop, std::function<bool()> closing) {
        (void)stop;
        (void)closing;
    }
};

/// Runs `work` on the window's own thread, soon and in the order posted; each window gives its
/// own. Called from another thread.
using PostToWindow = std::function<void(std::function<void()>)>;

/// The console of one stamp script at a time, the same under both windows: it runs the held script
/// as a process of its own in the held list folder, shows its output as it arrives, counts
/// Stamplet's reports into the progress and the summary, and hands the outcome to the run once
/// the process has ended. The output is read on a thread of its own; everything else happens on
/// the window's thread.
class StampConsole {
public:
    StampConsole(TConsoleView& view, PostToWindow post);
    /// Waits for a script still running, so that it is never cut short, and drops its end
    /// uncalled: what it would report to is going away.
    ~StampConsole();
    StampConsole(const StampConsole&) = delete;
    StampConsole& operator=(const StampConsole&) = delete;

    /// Starts the held script unless one is still running. `ended` is called once the process
    /// has ended. False when it cannot be started.
    bool Start(const engine::ScriptLaunch& launch,
               std::function<void(const engine::ScriptOutcome&)> ended);

    /// True while a script runs and its end has not been handled.
    bool IsRunning() const { return running_; }

    /// Blocks until the running script has ended and its end has been handled.
    void WaitForEnd();

    /// Blocks until the running script has ended and drops its end uncalled.
    void Abandon();

    /// Drops the end of the running script uncalled, without waiting for it: for a process that
    /// ends before the script could. True where there was one.
    bool DropEnd();

    /// The user's stop: the script ends once the file in progress is done (every Stamplet call of
    /// it), and its outcome says it was stopped. Nothing where no script runs.
    void Stop();

private:
    /// What the reading thread hands over.
    struct Inbox {
        std::mutex lock;
        std::string output;
        bool ended = false;
        int exitStatus = -1;
        bool posted = false;
    };

    void Read();
    void TakeOutput();
    void Finish(int exitStatus);
    void JoinReader();

    TConsoleView& view_;
    PostToWindow post_;
    platform::Process process_;
    std::thread reader_;
    Inbox inbox_;
    /// Lets posted work find out, on the window's thread, whether this console still stands.
    std::shared_ptr<StampConsole*> self_;
    bool running_ = false;
    std::string partial_;
    /// The output's last line that is not blank so far, as the script printed it.
    std::string lastLine_;
    std::size_t calls_ = 0;
    std::size_t done_ = 0;
    engine::TargetTally tally_;
    std::size_t targets_ = 0;
    engine::ScriptOutcome outcome_;
    bool creationNote_ = false;
    bool stopped_ = false;
    std::string note_;
    std::function<void(const engine::ScriptOutcome&)> ended_;
};

} // namespace form
