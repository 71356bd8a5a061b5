#pragma once

// The steps of a run as a chain of values: each step takes the value the step before it gave, so
// that they can only be taken in their one order, and each value that a run can be dropped at
// knows how to clean up after it.

#include "engine/ScriptRun.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace engine {

class ChainStep;

/// What a step that ends a run before its script starts leaves: the boxes to show, in order. By
/// then the script is deleted and the run's record, where it had one, removed.
struct Dropped {
    std::vector<Box> boxes;
};

/// One link of the chain: the run it owns. A link dropped unconsumed deletes the run's script
/// without a word and, where the script never started, removes the run's record.
class RunLink {
public:
    RunLink(RunLink&&) noexcept = default;
    RunLink& operator=(RunLink&&) = delete;
    ~RunLink();

    /// The run, for showing what it is about to do.
    const ScriptRun& Run() const { return *run_; }
    /// The run, for taking it down where the process ends while the link waits on a box.
    ScriptRun& Run() { return *run_; }

protected:
    RunLink(std::unique_ptr<ScriptRun> run, bool begun) : run_(std::move(run)), begun_(begun) {}

    std::unique_ptr<ScriptRun> run_;
    /// The script has started: the record counts and stays.
    bool begun_ = false;

    friend class ChainStep;
};

/// A run prepared and not yet written: the time-copy run's, or the restore's run taken.
class PreparedRun : public RunLink {
public:
    explicit PreparedRun(std::unique_ptr<ScriptRun> run) : RunLink(std::move(run), false) {}
};

/// A run whose script is written and held; the box that tells the user so, with the details of
/// every pair, is to be shown before it goes on.
class WrittenRun : public RunLink {
public:
    const Box& Told() const { return told_; }

private:
    WrittenRun(std::unique_ptr<ScriptRun> run, Box told)
        : RunLink(std::move(run), false), told_(std::move(told)) {}
    Box told_;
    friend class ChainStep;
};

/// A run checked at the moment of its start: what starts its script.
class ReadyRun : public RunLink {
public:
    const ScriptLaunch& Launch() const { return *launch_; }

private:
    ReadyRun(std::unique_ptr<ScriptRun> run, ScriptLaunch launch)
        : RunLink(std::move(run), false), launch_(std::move(launch)) {}
    std::optional<ScriptLaunch> launch_;
    friend class ChainStep;
};

/// A run whose script runs: its record counts. `Told` holds the box of a record that could not
/// be marked, where one could not. Dropped unjudged, it deletes its script without a word.
class StartedRun : public RunLink {
public:
    const std::vector<Box>& Told() const { return told_; }

private:
    StartedRun(std::unique_ptr<ScriptRun> run, std::vector<Box> told)
        : RunLink(std::move(run), true), told_(std::move(told)) {}
    std::vector<Box> told_;
    friend class ChainStep;
};

/// The judgement of a script that has ended: the final box's text, read from the targets as they
/// now are, and the boxes that follow it (a restore whose marks could not be written, a script
/// that could not be deleted).
struct Verdict {
    std::string text;
    std::vector<Box> after;
};

/// What preparing a run gives: the run ready to be written, the box that stops it (nothing has
/// been written then), or a question to ask first.
using Prepared = std::variant<PreparedRun, Box, Question>;

/// Writes the script of the run's items into its held folder and holds it; or, where it cannot
/// be written, drops the run with the error box.
std::variant<WrittenRun, Dropped> Write(PreparedRun prepared, const RunContext& context);

/// The user declined the script written: the run is dropped, nothing started.
Dropped Decline(WrittenRun written);

/// Checks, at this moment, what starting the script needs: the list folder and every target
/// folder still where they were, the zone's offset still the run's. The run ready to start, or
/// dropped with the box that says why.
std::variant<ReadyRun, Dropped> Check(WrittenRun written, const RunContext& context);

/// The script could not be started: the run is dropped with `why`.
Dropped NotStarted(ReadyRun ready, Box why);

/// The script has started: from here on the run's record counts.
StartedRun Begin(ReadyRun ready);

/// Judges the run once its script has ended with `outcome` (a restore marks the targets read back
/// with their earlier times), then deletes the script where it is, and no other file.
Verdict End(StartedRun started, const ScriptOutcome& outcome);

/// What the one that owns a run does where the chain meets the user and the system.
struct ChainHands {
    /// Shows a box that needs no answer.
    std::function<void(const Box&)> show;
    /// Shows the box that tells the script of the run is written; false declines the run. Until
    /// `hold` takes the run or the chain returns, the run stands on the chain's stack, which a
    /// process ended from a box's event loop never unwinds: TakeDown takes it down then.
    std::function<bool(const Box&, ScriptRun&)> confirm;
    /// Starts the script; false where it could not be started.
    std::function<bool(const ScriptLaunch&)> start;
    /// Takes the run whose script has started, to be judged at the script's end. It is handed
    /// over before any box of its start is shown, so that an end handled meanwhile finds it.
    std::function<void(StartedRun)> hold;
};

/// Takes `prepared` along the chain to the start of its script: written, confirmed, checked,
/// started, its record marked, handed to `hands.hold`. Where it ended: RunEnd::Started once the
/// run is held; otherwise where it ended, every box shown by then.
RunEnd StartRun(PreparedRun prepared, const RunContext& context, const ChainHands& hands);

/// Takes down `run` without a word, as a link dropped unconsumed does, and as a process that ends
/// while the run waits on a box must: its script is deleted (a running one runs on to its end by
/// itself), and where its script never `started`, its record is removed. Taken down again, it
/// does nothing more.
void TakeDown(ScriptRun& run, bool started);

} // namespace engine
