#include "engine/RunChain.h"

#include "engine/Messages.h"
#include "platform/DirectorySearch.h"
#include "platform/LocalTime.h"

#include <algorithm>
#include <set>

namespace engine {
namespace {

Box WriteScript(ScriptRun& run, const RunContext& context) {
    const std::string& folder = run.folder.Path();
    ComposedScript script =
        context.script.Compose(folder, context.programFolder, run.items, &run.places);
    run.environment = std::move(script.environment);
    const std::string path = context.script.ScriptPath(folder);
    if (const std::error_code error =
            run.file.Write(run.folder, run.scriptName, path, script.bytes)) {
        run.finished = true;
        return Box::Error(messages::CannotCreateFile(path, error.message()));
    }
    return {Box::Kind::Information, messages::kScriptWritten,
            messages::PairDetails(PlanLines(run))};
}

std::variant<ScriptLaunch, Box> LaunchOf(const ScriptRun& run, const RunContext& context) {
    // While the box was up, the folder may have been moved or another put in its place; the
    // script's own folder line refuses to run in a folder that is not this one.
    if (!run.FolderInPlace())
        return Box::Information(
            messages::FolderMovedBeforeStart(run.folder.Path(), run.folder.WhereNow()));
    // So may a folder the targets lie in: nothing is stamped in the folder that took its place.
    if (const auto moved = run.places.Moved())
        return Box::Information(messages::FolderMovedBeforeStart(moved->first, moved->second));
    ScriptLaunch launch{
        run.file, run.folder,         context.script.StampCalls(run.items), false, run.environment,
        run.note, run.places.Passed()};
    launch.callsPerTarget = context.script.CallsPerTarget(run.items);
    launch.creationNotKept = std::any_of(run.items.begin(), run.items.end(),
                                         [](const StampItem& item) { return !item.stampCreation; });
    // Where the script's processes cannot be held to the run's offset, the time spent on
    // kScriptWritten must not have crossed a change of daylight-saving time.
    if (!context.holdOffset(run.secondsEast, launch.environment) &&
        context.zone.OffsetNow() != run.secondsEast)
        return Box::Information(messages::kZoneChanged);
    return launch;
}

std::optional<Box> SettleRecord(ScriptRun& run, bool started) {
    if (run.recordPath.empty())
        return std::nullopt;
    std::error_code error;
    if (started) {
        run.record.begun = true;
        error = run.records->Rewrite(run.recordPath, run.record);
    } else {
        error = run.records->Remove(run.recordPath);
    }
    if (error)
        return Box::Error(messages::CannotCreateFile(run.recordPath, error.message()));
    return std::nullopt;
}

/// Only what was read back with its earlier times counts as given back.
std::optional<Box> MarkRestored(const ScriptRun& run, const RestoreMarks& marks,
                                const TargetReport& report, std::size_t reached) {
    std::set<std::string> notRestored;
    for (const auto& problem : report.problems)
        notRestored.insert(problem.first);
    std::vector<std::size_t> restored = marks.untouched;
    for (std::size_t i = 0; i < reached; ++i)
        if (!notRestored.count(run.items[i].targetName))
            restored.push_back(marks.indices[i]);
    if (restored.empty())
        return std::nullopt;
    if (const std::error_code error =
            marks.records->MarkRestored(marks.path, marks.started, restored))
        return Box::Error(messages::CannotCreateFile(marks.path, error.message()));
    return std::nullopt;
}

Verdict Judge(ScriptRun& run, const ScriptOutcome& outcome) {
    // A stopped script ends between two files, in item order: the targets after the last one it
    // came to were never tried, and are counted as such rather than judged.
    const std::size_t reached =
        outcome.stopped ? std::min(outcome.reached, run.items.size()) : run.items.size();
    TargetReport report = CheckTargets(
        run.places, {run.items.begin(), run.items.begin() + static_cast<std::ptrdiff_t>(reached)},
        run.secondsEast);
    report.notReached = static_cast<unsigned>(run.items.size() - reached);
    for (const auto& [name, state] : run.leftAlone) {
        ++(state == TargetState::NotFound ? report.notFound : report.notStamped);
        report.problems.emplace_back(name, state);
    }
    Verdict verdict{messages::RunVerdict(outcome.finished, report, outcome.stopped), {}};
    if (!run.note.empty())
        verdict.text += "\r\r" + run.note;
    if (!run.FolderInPlace())
        verdict.text +=
            "\r\r" + messages::FolderMovedDuringRun(run.folder.Path(), run.folder.WhereNow());
    if (const auto moved = run.places.Moved())
        verdict.text += "\r\r" + messages::FolderMovedDuringRun(moved->first, moved->second);
    if (run.marks)
        if (std::optional<Box> unmarked = MarkRestored(run, *run.marks, report, reached))
            verdict.after.push_back(std::move(*unmarked));
    return verdict;
}

std::optional<Box> DeleteScript(ScriptRun& run) {
    run.finished = true;
    // The script is deleted where it is; a moved folder's script is named where it is now.
    const std::string path = run.FolderInPlace()
                                 ? run.file.Path()
                                 : platform::JoinPath(run.folder.WhereNow(), run.scriptName);
    if (run.file.Remove())
        return Box::Information(messages::ScriptNotDeleted(path));
    return std::nullopt;
}

} // namespace

/// The one place that takes a run from one link of the chain to the next.
class ChainStep {
public:
    static std::variant<WrittenRun, Dropped> Write(PreparedRun prepared,
                                                   const RunContext& context) {
        std::unique_ptr<ScriptRun> run = std::move(prepared.run_);
        Box told = WriteScript(*run, context);
        if (told.kind == Box::Kind::Error)
            return Drop(std::move(run), std::move(told));
        return WrittenRun(std::move(run), std::move(told));
    }

    static Dropped Decline(WrittenRun written) { return Drop(std::move(written.run_), {}); }

    static std::variant<ReadyRun, Dropped> Check(WrittenRun written, const RunContext& context) {
        auto launch = LaunchOf(*written.run_, context);
        if (Box* why = std::get_if<Box>(&launch))
            return Drop(std::move(written.run_), std::move(*why));
        return ReadyRun(std::move(written.run_), std::move(std::get<ScriptLaunch>(launch)));
    }

    static Dropped NotStarted(ReadyRun ready, Box why) {
        return Drop(std::move(ready.run_), std::move(why));
    }

    static StartedRun Begin(ReadyRun ready) {
        std::vector<Box> told;
        if (std::optional<Box> unsettled = SettleRecord(*ready.run_, true))
            told.push_back(std::move(*unsettled));
        return StartedRun(std::move(ready.run_), std::move(told));
    }

    static Verdict End(StartedRun started, const ScriptOutcome& outcome) {
        std::unique_ptr<ScriptRun> run = std::move(started.run_);
        Verdict verdict = Judge(*run, outcome);
        // Only now does nothing read the script any more.
        if (std::optional<Box> undeleted = DeleteScript(*run))
            verdict.after.push_back(std::move(*undeleted));
        return verdict;
    }

    /// Every run dropped before its start ends here: `why` shown first (where it says
    /// anything), the script deleted, the record of a run that never started removed.
    static Dropped Drop(std::unique_ptr<ScriptRun> run, Box why) {
        Dropped dropped;
        if (!why.text.empty())
            dropped.boxes.push_back(std::move(why));
        if (!run->finished)
            if (std::optional<Box> undeleted = DeleteScript(*run))
                dropped.boxes.push_back(std::move(*undeleted));
        if (std::optional<Box> unsettled = SettleRecord(*run, false))
            dropped.boxes.push_back(std::move(*unsettled));
        return dropped;
    }
};

void TakeDown(ScriptRun& run, bool started) {
    if (run.finished)
        return;
    if (!started)
        (void)SettleRecord(run, false);
    run.Finish();
}

RunLink::~RunLink() {
    if (run_)
        TakeDown(*run_, begun_);
}

std::variant<WrittenRun, Dropped> Write(PreparedRun prepared, const RunContext& context) {
    return ChainStep::Write(std::move(prepared), context);
}

Dropped Decline(WrittenRun written) {
    return ChainStep::Decline(std::move(written));
}

std::variant<ReadyRun, Dropped> Check(WrittenRun written, const RunContext& context) {
    return ChainStep::Check(std::move(written), context);
}

Dropped NotStarted(ReadyRun ready, Box why) {
    return ChainStep::NotStarted(std::move(ready), std::move(why));
}

StartedRun Begin(ReadyRun ready) {
    return ChainStep::Begin(std::move(ready));
}

Verdict End(StartedRun started, const ScriptOutcome& outcome) {
    return ChainStep::End(std::move(started), outcome);
}

RunEnd StartRun(PreparedRun prepared, const RunContext& context, const ChainHands& hands) {
    const auto dropped = [&hands](const Dropped& dropped, RunEnd end) {
        for (const Box& box : dropped.boxes)
            hands.show(box);
        return end;
    };
    auto written = Write(std::move(prepared), context);
    if (const auto* failed = std::get_if<Dropped>(&written))
        return dropped(*failed, RunEnd::NotWritten);
    WrittenRun& script = std::get<WrittenRun>(written);
    if (!hands.confirm(script.Told(), script.Run()))
        return dropped(Decline(std::move(script)), RunEnd::Declined);
    auto ready = Check(std::move(script), context);
    if (const auto* failed = std::get_if<Dropped>(&ready))
        return dropped(*failed, RunEnd::NotStarted);
    ReadyRun& launch = std::get<ReadyRun>(ready);
    if (!hands.start(launch.Launch())) {
        const std::string path = launch.Run().file.Path();
        return dropped(
            NotStarted(std::move(launch), Box::Information(messages::ScriptNotStarted(path))),
            RunEnd::NotStarted);
    }
    StartedRun started = Begin(std::move(launch));
    const std::vector<Box> told = started.Told();
    hands.hold(std::move(started));
    for (const Box& box : told)
        hands.show(box);
    return RunEnd::Started;
}

} // namespace engine
