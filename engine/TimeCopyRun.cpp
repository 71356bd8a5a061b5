#include "engine/TimeCopyRun.h"

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/Names.h"
#include "engine/TargetCheck.h"
#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/LocalTime.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>

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

namespace {

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool AnySelected(const ListState& list) {
    return std::find(list.selected.begin(), list.selected.end(), true) != list.selected.end();
}

bool Exists(const std::string& path) {
    platform::FileTimeSet ignored;
    return !platform::StatFileTimes(path, ignored);
}

/// What the run works on once its request has been checked.
struct Request {
    RunRequest given;
    std::int32_t secondsEast = 0; ///< The one offset of the whole run.
};

/// A run from the moment it holds the list folder, kept by the script's end once the script is
/// started. Where that end never comes (the window went first), the script, which has ended by
/// then, is deleted without a word.
struct RunState {
    platform::HeldFolder folder;
    std::string scriptName;
    platform::HeldFile file;
    std::vector<StampItem> items;
    std::int32_t secondsEast = 0;
    bool finished = false;

    RunState() { Unfinished().insert(this); }
    ~RunState() {
        Unfinished().erase(this);
        Finish();
    }
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    /// Every run of this process that has not finished, for its end.
    static std::set<RunState*>& Unfinished() {
        static std::set<RunState*> runs;
        return runs;
    }
    /// Deletes the script without a word, unless the run has already finished.
    void Finish() {
        if (!finished)
            (void)file.Remove();
        finished = true;
    }

    /// False once the list folder's path leads elsewhere than the folder held.
    bool FolderInPlace() const { return folder.Is(folder.Path()); }
};

void DeleteScript(TRunSurroundings& surroundings, RunState& run) {
    run.finished = true;
    // The script is deleted where it is; a moved folder's script is named where it is now.
    const std::string path = run.FolderInPlace()
                                 ? run.file.Path()
                                 : platform::JoinPath(run.folder.WhereNow(), run.scriptName);
    if (surroundings.DeleteScript(run.file))
        surroundings.ShowInformation(messages::ScriptNotDeleted(path));
}

/// The script has ended: the verdict comes from the targets as they now are in the held folder.
void FinishRun(TRunSurroundings& surroundings, RunState& run, const ScriptOutcome& outcome) {
    surroundings.Beep();
    const TargetReport report = CheckTargets(run.folder.Inside(""), run.items, run.secondsEast);
    std::string verdict = messages::RunVerdict(outcome.finished, report);
    if (!run.FolderInPlace())
        verdict +=
            "\r\r" + messages::FolderMovedDuringRun(run.folder.Path(), run.folder.WhereNow());
    surroundings.ShowInformation(verdict);
    // Only now does nothing read the script any more.
    DeleteScript(surroundings, run);
}

/// True when `target` names the script itself in the list folder (as Stamplet matches names), so
/// that the script would replace the user's file and be stamped in its place.
bool NamesTheScript(const platform::HeldFolder& folder, const std::string& target,
                    const std::string& scriptName) {
    const std::size_t separator = target.find_last_of(platform::FolderSeparators());
    if (separator != std::string::npos && !folder.Is(folder.Inside(target.substr(0, separator))))
        return false;
    const std::string name = separator == std::string::npos ? target : target.substr(separator + 1);
    return platform::WildcardMatch(name, scriptName);
}

/// The pattern, the list and the selection, then what the script will rely on. False once the
/// message that ends the run has been shown.
bool CheckRequest(TRunSurroundings& surroundings, const RunContext& context, Request& request) {
    const FieldTexts& fields = request.given.fields;
    ListState& list = request.given.list;
    if (IsBlank(fields.targetPattern)) {
        surroundings.ShowInformation(messages::kBlankPattern);
        return false;
    }
    if (list.items.empty()) {
        surroundings.ShowInformation(messages::EmptyList(fields.filter));
        return false;
    }
    if (!AnySelected(list)) {
        if (surroundings.AskYesNo(messages::kNothingSelected) == Answer::No)
            return false;
        surroundings.SelectAll();
        list.selected.assign(list.items.size(), true);
    }

    const StampScript& script = context.script;
    const std::string& folder = list.folder;
    if (!script.CarriesUnchanged(folder)) {
        surroundings.ShowInformation(messages::ListFolderNotCarried(folder));
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
    // One offset for the whole run: every source is turned into local time the same way, and
    // every Stamplet call turns it back the same way, even across a change of daylight-saving
    // time.
    const std::optional<std::int32_t> offset = context.zone.OffsetNow();
    if (!offset) {
        surroundings.ShowInformation(messages::kZoneUnreadable);
        return false;
    }
    request.secondsEast = *offset;
    return true;
}

/// The stamp items of the selected sources in list order, or nothing once the message that
/// ends the run has been shown.
std::optional<std::vector<StampItem>> BuildItems(TRunSurroundings& surroundings,
                                                 const RunContext& context, const Request& request,
                                                 const RunState& run) {
    const FixedZone runZone(request.secondsEast);
    TargetFolders folders(run.folder.Inside(""));
    const std::string& pattern = request.given.fields.targetPattern;
    const ListState& list = request.given.list;
    std::vector<StampItem> items;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (i >= list.selected.size() || !list.selected[i])
            continue;
        const std::string& name = list.items[i];
        StampItem item;
        item.targetName = MakeTargetName(name, pattern);
        if (item.targetName == name) {
            surroundings.ShowInformation(messages::TargetIsSource(name));
            return std::nullopt;
        }
        // The stem goes into the target name, where Stamplet would read * and ? as wildcards
        // and stamp other files too; a ? the user typed into the pattern keeps its meaning.
        if (pattern.find('*') != std::string::npos &&
            StripExtension(name).find_first_of("*?") != std::string::npos) {
            surroundings.ShowInformation(messages::SourceNameIsMask(name));
            return std::nullopt;
        }
        if (!context.script.CarriesUnchanged(item.targetName)) {
            surroundings.ShowInformation(messages::TargetNotCarried(name, item.targetName));
            return std::nullopt;
        }
        if (NamesTheScript(run.folder, item.targetName, run.scriptName)) {
            surroundings.ShowInformation(messages::TargetIsScript(item.targetName));
            return std::nullopt;
        }
        // Where it cannot be learnt, both lines stay.
        const auto& keeping = folders.Of(folders.FolderOf(item.targetName));
        item.stampCreation = !keeping || keeping->creationSettable;
        TDateTime lastAccess = 0;
        if (!TFileInfo(run.folder.Inside(name), runZone)
                 .ReadFileTimes(item.creationTime, lastAccess, item.lastWriteTime)) {
            surroundings.ShowInformation(messages::TimesUnreadable(name));
            return std::nullopt;
        }
        items.push_back(std::move(item));
    }
    return items;
}

/// Writes the script, tells the user and starts it.
RunEnd WriteAndStart(TRunSurroundings& surroundings, const RunContext& context,
                     const Request& request, std::shared_ptr<RunState> run,
                     std::vector<StampItem> items) {
    run->secondsEast = request.secondsEast;
    const std::string& folder = run->folder.Path();
    const std::string bytes = context.script.Compose(folder, context.programFolder, items);
    run->items = std::move(items);
    const std::string path = context.script.ScriptPath(folder);
    if (const std::error_code error =
            surroundings.WriteScript(run->file, run->folder, run->scriptName, path, bytes)) {
        run->finished = true;
        surroundings.ShowError(messages::CannotCreateFile(path, error.message()));
        return RunEnd::NotWritten;
    }
    surroundings.ShowInformation(messages::kScriptWritten);
    // While the box was up, the folder may have been moved or another put in its place; the
    // script's own folder line refuses to run in a folder that is not this one.
    if (!run->FolderInPlace()) {
        surroundings.ShowInformation(
            messages::FolderMovedBeforeStart(folder, run->folder.WhereNow()));
        DeleteScript(surroundings, *run);
        return RunEnd::NotStarted;
    }

    ScriptLaunch launch{run->file, run->folder, context.script.StampCalls(run->items), false, {}};
    launch.creationNotKept = std::any_of(run->items.begin(), run->items.end(),
                                         [](const StampItem& item) { return !item.stampCreation; });
    // Where the script's processes cannot be held to the run's offset, the time spent on
    // kScriptWritten must not have crossed a change of daylight-saving time.
    if (!platform::FixedOffsetEnvironment(run->secondsEast, launch.environment) &&
        context.zone.OffsetNow() != run->secondsEast) {
        surroundings.ShowInformation(messages::kZoneChanged);
        DeleteScript(surroundings, *run);
        return RunEnd::NotStarted;
    }
    const bool started =
        surroundings.StartScript(launch, [&surroundings, run](const ScriptOutcome& outcome) {
            FinishRun(surroundings, *run, outcome);
        });
    if (!started) {
        surroundings.ShowInformation(messages::ScriptNotStarted(path));
        DeleteScript(surroundings, *run);
        return RunEnd::NotStarted;
    }
    return RunEnd::Started;
}

} // namespace

RunEnd RunTimeCopy(TRunSurroundings& surroundings, const RunContext& context, RunRequest given) {
    Request request{std::move(given)};
    if (!CheckRequest(surroundings, context, request))
        return RunEnd::Stopped;
    // From here on the run works in this very folder, whatever becomes of its path.
    const std::string& folder = request.given.list.folder;
    auto run = std::make_shared<RunState>();
    if (run->folder.Hold(folder)) {
        surroundings.ShowInformation(messages::ListFolderGone(folder));
        return RunEnd::Stopped;
    }
    run->scriptName = context.script.ScriptName(folder);
    std::optional<std::vector<StampItem>> items = BuildItems(surroundings, context, request, *run);
    if (!items)
        return RunEnd::Stopped;
    return WriteAndStart(surroundings, context, request, std::move(run), std::move(*items));
}

std::size_t RemoveUnfinishedScripts() {
    std::size_t finished = 0;
    for (RunState* run : RunState::Unfinished()) {
        finished += run->finished ? 0 : 1;
        run->Finish();
    }
    return finished;
}

} // namespace engine
