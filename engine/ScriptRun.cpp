#include "engine/ScriptRun.h"

#include "engine/AtOnce.h"
#include "engine/Messages.h"
#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/LocalTime.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <set>

namespace engine {

bool ScriptRun::Finish() {
    const bool wasRunning = !finished;
    if (!finished)
        (void)file.Remove();
    finished = true;
    return wasRunning;
}

namespace {

bool Exists(const std::string& path) {
    platform::FileTimeSet ignored;
    return !platform::StatFileTimes(path, ignored);
}

} // namespace

std::optional<Box> CheckScriptNeeds(const RunContext& context, const std::string& listFolder,
                                    std::int32_t& secondsEast) {
    const StampScript& script = context.script;
    if (!script.CarriesUnchanged(listFolder))
        return Box::Information(messages::ListFolderNotCarried(listFolder));
    if (!script.CarriesUnchanged(context.programFolder))
        return Box::Information(messages::ProgramFolderNotCarried(context.programFolder));
    if (const std::string stamplet = script.StampletPath(context.programFolder); !Exists(stamplet))
        return Box::Information(messages::StampletMissing(stamplet));
    // One offset for the whole run: every time is turned into local time the same way, and
    // every Stamplet call turns it back the same way, even across a change of daylight-saving
    // time.
    const std::optional<std::int32_t> offset = context.zone.OffsetNow();
    if (!offset)
        return Box::Information(messages::kZoneUnreadable);
    secondsEast = *offset;
    return std::nullopt;
}

std::variant<std::unique_ptr<ScriptRun>, Box>
HoldListFolder(const RunContext& context, const std::string& listFolder, std::int32_t secondsEast) {
    auto run = std::make_unique<ScriptRun>();
    if (run->folder.Hold(listFolder))
        return Box::Information(messages::ListFolderGone(listFolder));
    run->scriptName = context.script.ScriptName(listFolder);
    run->secondsEast = secondsEast;
    return run;
}

bool NamesTheScript(const TargetPlaces& places, const std::string& scriptName,
                    const std::string& target) {
    // Only a target in the list folder itself, however the name leads there.
    if (!places.List().Is(places.FolderOf(target)))
        return false;
    return platform::WildcardMatch(target.substr(platform::FolderPartOf(target).size()),
                                   scriptName);
}

namespace {

/// True where the entry `name` found for `item` already carries the times the run sets.
bool AlreadyCarries(const ScriptRun& run, const StampItem& item, const std::string& name) {
    platform::FileState now;
    if (const std::error_code unreadable = platform::FileStateOf(
            platform::JoinPath(run.places.FolderOf(item.targetName), name), now))
        return false;
    if (platform::ToFileTime(now.lastWrite) != StampedInstant(item.lastWriteTime, run.secondsEast))
        return false;
    return !item.stampCreation || !now.creation ||
           platform::ToFileTime(*now.creation) ==
               StampedInstant(item.creationTime, run.secondsEast);
}

} // namespace

std::vector<messages::PairLine> PlanLines(const ScriptRun& run) {
    std::vector<messages::PairLine> lines(run.items.size());
    ForEachAtOnce(run.items.size(), [&](std::size_t i) {
        const StampItem& item = run.items[i];
        messages::PairLine& line = lines[i];
        line.source = item.sourceName;
        line.target = item.targetName;
        line.lastWrite = DecodeDateTime(item.lastWriteTime);
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        if (const std::error_code missing = search.First(run.places.PathOf(item.targetName), entry))
            line.mark = messages::PairLine::Mark::Missing;
        else if (AlreadyCarries(run, item, entry.name))
            line.mark = messages::PairLine::Mark::AlreadySo;
    });
    for (const auto& [name, state] : run.leftAlone)
        lines.push_back({{}, name, {}, messages::PairLine::Mark::LeftAlone, state});
    return lines;
}

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
    if (!platform::FixedOffsetEnvironment(run.secondsEast, launch.environment) &&
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

namespace {

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

} // namespace

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

} // namespace engine
