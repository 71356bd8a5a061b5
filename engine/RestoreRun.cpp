#include "engine/RestoreRun.h"

#include "engine/Messages.h"
#include "engine/ScriptRun.h"
#include "platform/DirectorySearch.h"
#include "platform/Wildcard.h"

#include <optional>
#include <set>

namespace engine {
namespace {

/// Days from 1899-12-30, where date-time values count from, to 1970-01-01.
constexpr std::int64_t kUnixEpochDays = 25569;

/// An exact UTC time as a local date-time value, to the whole second.
TDateTime LocalDateTime(const platform::ExactTime& time, std::int32_t secondsEast) {
    return DateTimeFromMilliseconds((time.seconds + secondsEast) * 1000 +
                                    kUnixEpochDays * kMillisecondsPerDay);
}

/// An exact UTC time as the local date-time value a script hands Stamplet, to the whole second;
/// nothing where Stamplet could not take it (before 1601, after 9999).
std::optional<TDateTime> LocalSecond(const platform::ExactTime& time, std::int32_t secondsEast) {
    const TDateTime value = LocalDateTime(time, secondsEast);
    const int year = DecodeDateTime(value).year;
    if (year < 1601 || year > 9999)
        return std::nullopt;
    return value;
}

/// What became of one recorded target: Stamped where it is as the run left it.
TargetState StateNow(const RecordedTarget& target, const platform::FileState& now,
                     const platform::TimeKeeping& keeping) {
    if (now.device != target.before.device || now.number != target.before.number || now.folder)
        return TargetState::Replaced;
    if (!platform::KeptAs(platform::ToFileTime(now.lastWrite), target.setLastWrite,
                          keeping.lastWriteStep))
        return TargetState::ChangedSince;
    if (target.setCreation != 0 && keeping.creationSettable &&
        (!now.creation || !platform::KeptAs(platform::ToFileTime(*now.creation), target.setCreation,
                                            keeping.creationStep)))
        return TargetState::ChangedSince;
    return TargetState::Stamped;
}

/// The stamp item that gives `target` its earlier times back; nothing where they cannot be given.
std::optional<StampItem> RestoreItem(const RecordedTarget& target, bool creationSettable,
                                     std::int32_t secondsEast) {
    const std::optional<TDateTime> left =
        LocalSecond(platform::ExactTime{static_cast<std::int64_t>(
                                            (target.setLastWrite - platform::kUnixEpochFileTime) /
                                            platform::kFileTimeTicksPerSecond),
                                        0},
                    secondsEast);
    const std::optional<TDateTime> write = LocalSecond(target.before.lastWrite, secondsEast);
    const std::optional<TDateTime> access = LocalSecond(target.before.lastAccess, secondsEast);
    std::optional<TDateTime> creation;
    if (target.before.creation)
        creation = LocalSecond(*target.before.creation, secondsEast);
    if (!left || !write || !access || (target.before.creation && !creation))
        return std::nullopt;
    StampItem item;
    item.ifLastWrite = left;
    item.targetName = target.name;
    item.stampCreation = creationSettable && creation.has_value();
    // A creation line left in where none can be set only sets the last-write time again.
    item.creationTime = creation.value_or(*write);
    item.lastAccessTime = access;
    item.lastWriteTime = *write;
    return item;
}

} // namespace

RestorePlan PlanRestore(const RunRecord& record, TargetPlaces& places, const StampScript& script,
                        const std::string& scriptName, std::int32_t secondsEast) {
    RestorePlan plan;
    TargetFolders folders(places);
    for (std::size_t index = 0; index < record.targets.size(); ++index) {
        const RecordedTarget& target = record.targets[index];
        if (target.restored)
            continue;
        places.Hold(target.name);
        // Handed to Stamplet as a mask, a name with wildcards would stamp other files too.
        if (platform::HasWildcards(
                target.name.substr(platform::FolderPartOf(target.name).size())) ||
            !script.CarriesUnchanged(target.name) ||
            NamesTheScript(places, scriptName, target.name)) {
            plan.leftAlone.emplace_back(target.name, TargetState::NotCarried);
            continue;
        }
        platform::FileState now;
        if (platform::FileStateOf(places.PathOf(target.name), now)) {
            plan.leftAlone.emplace_back(target.name, TargetState::NotFound);
            continue;
        }
        const platform::TimeKeeping keeping =
            folders.Of(folders.FolderOf(target.name)).value_or(platform::TimeKeeping{});
        if (now.device == target.before.device && now.number == target.before.number &&
            now.lastWrite == target.before.lastWrite && now.creation == target.before.creation) {
            plan.untouched.push_back(index);
            continue;
        }
        if (const TargetState state = StateNow(target, now, keeping);
            state != TargetState::Stamped) {
            plan.leftAlone.emplace_back(target.name, state);
            continue;
        }
        std::optional<StampItem> item = RestoreItem(target, keeping.creationSettable, secondsEast);
        if (!item) {
            plan.leftAlone.emplace_back(target.name, TargetState::NotCarried);
            continue;
        }
        plan.items.push_back(std::move(*item));
        plan.indices.push_back(index);
    }
    return plan;
}

namespace {

/// The recorded runs of the held folder that still have targets to give back, newest first, with
/// any newer record that was refused told; nothing once the box that ends the restore has been
/// shown.
std::optional<std::vector<RunRecords::Run>>
FindRuns(TRunSurroundings& surroundings, const ScriptRun& run, const RunRecords& records) {
    platform::FileState folder;
    if (platform::FileStateOf(run.folder.Inside(""), folder)) {
        surroundings.ShowInformation(messages::ListFolderGone(run.folder.Path()));
        return std::nullopt;
    }
    RunRecords::Found found = records.Runs(folder.device, folder.number);
    if (!found.refused.empty()) {
        std::vector<std::pair<std::string, std::error_code>> refused;
        for (const RunRecords::Refused& each : found.refused)
            refused.emplace_back(each.path, each.reason);
        surroundings.ShowInformation(messages::RecordsRefused(refused));
    }
    if (found.runs.empty()) {
        surroundings.ShowInformation(messages::NothingToRestore(run.folder.Path()));
        return std::nullopt;
    }
    return std::move(found.runs);
}

/// A run the user takes back: its record and where it is kept, and the plan.
struct Picked {
    RunRecord record;
    std::string path;
    RestorePlan plan;
};

/// The run the user takes back and its plan: the runs are offered newest first, each with what
/// can be given back now, and No moves on to the one before. Nothing where the user took none or
/// none has anything to give back, once that has been said.
std::optional<Picked> PickRun(TRunSurroundings& surroundings, const RunRecords& records,
                              const std::vector<RunRecords::Run>& runs, ScriptRun& run,
                              const StampScript& script) {
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string& path = runs[i].path;
        RunRecord record;
        if (const std::error_code error = records.Read(path, record)) {
            surroundings.ShowInformation(messages::RecordsRefused({{path, error}}));
            continue;
        }
        RestorePlan plan = PlanRestore(record, run.places, script, run.scriptName, run.secondsEast);
        if (plan.items.empty())
            continue;
        const CalendarTime when = DecodeDateTime(LocalDateTime(record.started, run.secondsEast));
        const bool earlier = i + 1 < runs.size();
        // Only Yes restores: a box closed otherwise leaves the targets as they are.
        const Answer answer = surroundings.AskYesNo(
            messages::AskRestore({plan.items.size(), plan.leftAlone.size(),
                                  record.Unrestored() - plan.untouched.size(), when, record.folder},
                                 earlier));
        if (answer == Answer::Yes)
            return Picked{std::move(record), path, std::move(plan)};
        if (answer == Answer::Closed || !earlier)
            return std::nullopt;
    }
    surroundings.ShowInformation(messages::NothingRestorable(
        DecodeDateTime(LocalDateTime(runs.front().header.run.started, run.secondsEast))));
    return std::nullopt;
}

} // namespace

RunEnd RunRestore(TRunSurroundings& surroundings, const RunContext& context,
                  const std::string& listFolder, const RunRecords& records) {
    std::int32_t secondsEast = 0;
    if (!CheckScriptNeeds(surroundings, context, listFolder, secondsEast))
        return RunEnd::Stopped;
    std::shared_ptr<ScriptRun> run = HoldListFolder(surroundings, context, listFolder, secondsEast);
    if (!run)
        return RunEnd::Stopped;
    std::optional<std::vector<RunRecords::Run>> runs = FindRuns(surroundings, *run, records);
    if (!runs)
        return RunEnd::Stopped;
    std::optional<Picked> picked = PickRun(surroundings, records, *runs, *run, context.script);
    if (!picked)
        return RunEnd::Stopped;
    RestorePlan& plan = picked->plan;
    run->items = std::move(plan.items);
    run->leftAlone = std::move(plan.leftAlone);
    run->note = messages::kFractionNotRestored;
    run->afterEnd = [&records, path = picked->path, started = picked->record.started,
                     indices = std::move(plan.indices), untouched = std::move(plan.untouched),
                     items = run->items](TRunSurroundings& after, const TargetReport& report) {
        // Only what was read back with its earlier times counts as given back.
        std::set<std::string> notRestored;
        for (const auto& problem : report.problems)
            notRestored.insert(problem.first);
        std::vector<std::size_t> restored = untouched;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (!notRestored.count(items[i].targetName))
                restored.push_back(indices[i]);
        if (restored.empty())
            return;
        if (const std::error_code error = records.MarkRestored(path, started, restored))
            after.ShowError(messages::RecordNotMarked(path, error.message()));
    };
    return WriteAndStart(surroundings, context, std::move(run));
}

} // namespace engine
