#pragma once

#include "engine/RestoreRun.h"
#include "engine/TimeCopyRun.h"
#include "form/FormView.h"
#include "form/StampConsole.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace form {

/// The one owner of a window's runs: it prepares a run through the engine's steps, shows each
/// stop, question and verdict in the window's boxes, writes the script and starts it in the
/// console, judges it once the console reports its end, and holds every run until its script has
/// been deleted.
class RunOwner {
public:
    /// The view's console must stand from here on.
    explicit RunOwner(TFormView& view);
    ~RunOwner();
    RunOwner(const RunOwner&) = delete;
    RunOwner& operator=(const RunOwner&) = delete;

    /// The time-copy run of `request`. Where nothing is selected, the user is asked; Yes (or a box
    /// closed) selects every item and the run goes on with them.
    engine::RunEnd TimeCopy(const engine::RunContext& context, engine::RunRequest request);

    /// The restore of a run recorded for `listFolder`: the runs are offered newest first.
    engine::RunEnd Restore(const engine::RunContext& context, const std::string& listFolder,
                           const engine::RunRecords& records);

    /// The console of the runs' scripts.
    StampConsole& Console() { return console_; }

    /// The console is closed: while its script runs, the user stops the run or lets it go on and
    /// the console stays. The question closes once the run ends meanwhile. True lets it close.
    bool ConsoleCloseQuery();

    /// Deletes the script of every run that has not finished, without a word and without waiting,
    /// and the record of one whose script never started: for a process that ends before its runs
    /// could, even from a box that one of them waits on. Returns how many there were.
    std::size_t DropUnfinished();

private:
    /// Takes a prepared run along the chain to its start.
    engine::RunEnd Launch(const engine::RunContext& context, engine::PreparedRun prepared);
    /// The same, where preparing gave the run; where it gave a box, shows it.
    engine::RunEnd Launch(const engine::RunContext& context, engine::Prepared prepared);
    void Ended(engine::StartedRun run, const engine::ScriptOutcome& outcome);
    void Show(const engine::Box& box);

    TFormView& view_;
    /// Runs the scripts; the run whose script it runs is held by its end handler.
    StampConsole console_;
    /// The question whether to stop the running script is open.
    bool askingStop_ = false;
    /// The run from its script-written box until the console's end handler holds it; it stands
    /// on the chain's stack meanwhile.
    engine::ScriptRun* confirmed_ = nullptr;
};

} // namespace form
