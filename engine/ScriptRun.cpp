#include "engine/ScriptRun.h"

#include "engine/AtOnce.h"
#include "engine/Messages.h"
#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/LocalTime.h"
#include "platform/Wildcard.h"

#include <algorithm>

namespace engine {

std::error_code TRunSurroundings::WriteScript(platform::HeldFile& file,
                                              const platform::HeldFolder& folder,
                                              const std::string& name, const std::string& path,
                                              std::string_view bytes) {
    return file.Write(folder, name, path, bytes);
}

std::error_code TRunSurroundings::DeleteScript(platform::HeldFile& file) {
    return file.Remove();
}

std::set<ScriptRun*>& ScriptRun::Unfinished() {
    // Never destroyed: the exit handler that deletes unfinished scripts may run after statics
    // are gone.
    static auto* runs = new std::set<ScriptRun*>;
    return *runs;
}

void ScriptRun::Finish() {
    if (!finished)
        (void)file.Remove();
    finished = true;
}

std::size_t RemoveUnfinishedScripts() {
    std::size_t finished = 0;
    for (ScriptRun* run : ScriptRun::Unfinished()) {
        finished += run->finished ? 0 : 1;
        run->Finish();
    }
    return finished;
}

namespace {

bool Exists(const std::string& path) {
    platform::FileTimeSet ignored;
    return !platform::StatFileTimes(path, ignored);
}

void DeleteScript(TRunSurroundings& surroundings, ScriptRun& run) {
    run.finished = true;
    // The script is deleted where it is; a moved folder's script is named where it is now.
    const std::string path = run.FolderInPlace()
                                 ? run.file.Path()
                                 : platform::JoinPath(run.folder.WhereNow(), run.scriptName);
    if (surroundings.DeleteScript(run.file))
        surroundings.ShowInformation(messages::ScriptNotDeleted(path));
}

/// The script has ended: the verdict comes from the targets as they now are in the held folder,
/// and names those the run left alone.
void FinishRun(TRunSurroundings& surroundings, ScriptRun& run, const ScriptOutcome& outcome) {
    surroundings.Beep();
    TargetReport report = CheckTargets(run.places, run.items, run.secondsEast);
    for (const auto& [name, state] : run.leftAlone) {
        ++(state == TargetState::NotFound ? report.notFound : report.notStamped);
        report.problems.emplace_back(name, state);
    }
    std::string verdict = messages::RunVerdict(outcome.finished, report, outcome.stopped);
    if (!run.note.empty())
        verdict += "\r\r" + run.note;
    if (!run.FolderInPlace())
        verdict +=
            "\r\r" + messages::FolderMovedDuringRun(run.folder.Path(), run.folder.WhereNow());
    surroundings.ShowInformation(verdict);
    if (run.afterEnd)
        run.afterEnd(surroundings, report);
    // Only now does nothing read the script any more.
    DeleteScript(surroundings, run);
}

/// The script cannot run after all: says why and deletes it.
RunEnd NotStarted(TRunSurroundings& surroundings, ScriptRun& run, const std::string& why) {
    surroundings.ShowInformation(why);
    DeleteScript(surroundings, run);
    return RunEnd::NotStarted;
}

} // namespace

bool CheckScriptNeeds(TRunSurroundings& surroundings, const RunContext& context,
                      const std::string& listFolder, std::int32_t& secondsEast) {
    const StampScript& script = context.script;
    if (!script.CarriesUnchanged(listFolder)) {
        surroundings.ShowInformation(messages::ListFolderNotCarried(listFolder));
        return false;
    }
    if (!script.CarriesUnchanged(context.programFolder)) {
        surroundings.ShowInformation(messages::ProgramFolderNotCarried(context.programFolder));
        return false;
    }
    if (const std::string stamplet = script.StampletPath(context.programFolder);
        !Exists(stamplet)) {
        surroundings.ShowInformation(messages::StampletMissing(stamplet));
        return false;
    }
    // One offset for the whole run: every time is turned into local time the same way, and
    // every Stamplet call turns it back the same way, even across a change of daylight-saving
    // time.
    const std::optional<std::int32_t> offset = context.zone.OffsetNow();
    if (!offset) {
        surroundings.ShowInformation(messages::kZoneUnreadable);
        return false;
    }
    secondsEast = *offset;
    return true;
}

std::shared_ptr<ScriptRun> HoldListFolder(TRunSurroundings& surroundings, const RunContext& context,
                                          const std::string& listFolder, std::int32_t secondsEast) {
    auto run = std::make_shared<ScriptRun>();
    if (run->folder.Hold(listFolder)) {
        surroundings.ShowInformation(messages::ListFolderGone(listFolder));
        return nullptr;
    }
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
        platform::FileState now;
        if (search.First(run.places.PathOf(item.targetName), entry)) {
            line.mark = messages::PairLine::Mark::Missing;
        } else if (!platform::FileStateOf(
                       platform::JoinPath(run.places.FolderOf(item.targetName), entry.name), now) &&
                   platform::ToFileTime(now.lastWrite) ==
                       StampedInstant(item.lastWriteTime, run.secondsEast) &&
                   (!item.stampCreation || !now.creation ||
                    platform::ToFileTime(*now.creation) ==
                        StampedInstant(item.creationTime, run.secondsEast))) {
            line.mark = messages::PairLine::Mark::AlreadySo;
        }
    });
    for (const auto& [name, state] : run.leftAlone)
        lines.push_back({{}, name, {}, messages::PairLine::Mark::LeftAlone, state});
    return lines;
}

RunEnd WriteAndStart(TRunSurroundings& surroundings, const RunContext& context,
                     std::shared_ptr<ScriptRun> run) {
    const std::string& folder = run->folder.Path();
    const ComposedScript script = context.script.Compose(folder, context.programFolder, run->items);
    const std::string path = context.script.ScriptPath(folder);
    if (const std::error_code error =
            surroundings.WriteScript(run->file, run->folder, run->scriptName, path, script.bytes)) {
        run->finished = true;
        surroundings.ShowError(messages::CannotCreateFile(path, error.message()));
        return RunEnd::NotWritten;
    }
    surroundings.ShowWithDetails(messages::kScriptWritten, messages::PairDetails(PlanLines(*run)));
    // While the box was up, the folder may have been moved or another put in its place; the
    // script's own folder line refuses to run in a folder that is not this one.
    if (!run->FolderInPlace())
        return NotStarted(surroundings, *run,
                          messages::FolderMovedBeforeStart(folder, run->folder.WhereNow()));
    // So may a folder the targets lie in: nothing is stamped in the folder that took its place.
    if (const auto moved = run->places.Moved())
        return NotStarted(surroundings, *run,
                          messages::FolderMovedBeforeStart(moved->first, moved->second));

    ScriptLaunch launch{run->file, run->folder,        context.script.StampCalls(run->items),
                        false,     script.environment, run->note};
    launch.creationNotKept = std::any_of(run->items.begin(), run->items.end(),
                                         [](const StampItem& item) { return !item.stampCreation; });
    // Where the script's processes cannot be held to the run's offset, the time spent on
    // kScriptWritten must not have crossed a change of daylight-saving time.
    if (!platform::FixedOffsetEnvironment(run->secondsEast, launch.environment) &&
        context.zone.OffsetNow() != run->secondsEast)
        return NotStarted(surroundings, *run, messages::kZoneChanged);
    const bool started =
        surroundings.StartScript(launch, [&surroundings, run](const ScriptOutcome& outcome) {
            FinishRun(surroundings, *run, outcome);
        });
    if (!started)
        return NotStarted(surroundings, *run, messages::ScriptNotStarted(path));
    return RunEnd::Started;
}

} // namespace engine
