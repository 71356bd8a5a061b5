#include "engine/RestoreRun.h"

#include "engine/Messages.h"
#include "engine/ScriptRun.h"
#include "platform/DirectorySearch.h"
#include "platform/Wildcard.h"

#include <algorithm>
#include <optional>
#include <variant>

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

/// A file time to the whole second, as a stamp gives it.
platform::FileTime WholeSecond(platform::FileTime time) {
    return time - time % platform::kFileTimeTicksPerSecond;
}

/// True where the last-write time `now` is one that the run, or an earlier restore of it, left
/// on the target: what the run set, or what a call of the run or of a restore sets before the
/// file's last call (every Stamplet call sets the last-write time too), should the script have
/// ended between the calls of one file.
bool LeftByTheRun(const RecordedTarget& target, platform::FileTime now, platform::FileTime step) {
    std::vector<platform::FileTime> left = {target.setLastWrite};
    if (target.setCreation != 0)
        left.push_back(target.setCreation);
    left.push_back(WholeSecond(platform::ToFileTime(target.before.lastAccess)));
    if (target.before.creation)
        left.push_back(WholeSecond(platform::ToFileTime(*target.before.creation)));
    return std::any_of(left.begin(), left.end(),
                       [&](platform::FileTime time) { return platform::KeptAs(now, time, step); });
}

/// What became of one recorded target: Stamped where it is as the run left it, or part way
/// through the calls of the run or of a restore.
TargetState StateNow(const RecordedTarget& target, const platform::FileState& now,
                     const platform::TimeKeeping& keeping) {
    if (now.device != target.before.device || now.number != target.before.number || now.folder)
        return TargetState::Replaced;
    if (!LeftByTheRun(target, platform::ToFileTime(now.lastWrite), keeping.lastWriteStep))
        return TargetState::ChangedSince;
    if (target.setCreation == 0 || !keeping.creationSettable)
        return TargetState::Stamped;
    const auto creationIs = [&](platform::FileTime time) {
        return now.creation &&
               platform::KeptAs(platform::ToFileTime(*now.creation), time, keeping.creationStep);
    };
    if (creationIs(target.setCreation) ||
        (target.before.creation &&
         creationIs(WholeSecond(platform::ToFileTime(*target.before.creation)))))
        return TargetState::Stamped;
    return TargetState::ChangedSince;
}

/// The stamp item that gives `target`, whose last-write time is now `now`, its earlier times
/// back; nothing where they cannot be given.
std::optional<StampItem> RestoreItem(const RecordedTarget& target, const platform::ExactTime& now,
                                     bool creationSettable, std::int32_t secondsEast) {
    // The guard is the time the target carries now: the run's, or one a call left part way.
    const std::optional<TDateTime> left =
        LocalSecond(platform::ExactTime{now.seconds, 0}, secondsEast);
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

namespace {

/// A target the run never changed: it still has its earlier times, to the nanosecond.
struct Untouched {};

/// What a restore does with one recorded target: gives it back, finds it untouched, or leaves it
/// alone for the reason given.
using TargetPlan = std::variant<StampItem, Untouched, TargetState>;

/// True where `name` reaches Stamplet as that one file, and is not the stamp script's.
bool HandedOverAsItIs(const std::string& name, const TargetPlaces& places,
                      const StampScript& script, const std::string& scriptName) {
    // Handed to Stamplet as a mask, a name with wildcards would stamp other files too.
    return !platform::HasWildcards(name.substr(platform::FolderPartOf(name).size())) &&
           script.CarriesUnchanged(name) && !NamesTheScript(places, scriptName, name);
}

TargetPlan PlanTarget(const RecordedTarget& target, const TargetPlaces& places,
                      const platform::TimeKeeping& keeping, std::int32_t secondsEast) {
    platform::FileState now;
    if (const std::error_code missing = platform::FileStateOf(places.PathOf(target.name), now))
        return TargetState::NotFound;
    if (now.device == target.before.device && now.number == target.before.number &&
        now.lastWrite == target.before.lastWrite && now.creation == target.before.creation)
        return Untouched{};
    if (const TargetState state = StateNow(target, now, keeping); state != TargetState::Stamped)
        return state;
    std::optional<StampItem> item =
        RestoreItem(target, now.lastWrite, keeping.creationSettable, secondsEast);
    if (!item)
        return TargetState::NotCarried;
    return std::move(*item);
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
        TargetPlan planned = TargetState::NotCarried;
        if (HandedOverAsItIs(target.name, places, script, scriptName))
            planned = PlanTarget(
                target, places,
                folders.Of(folders.FolderOf(target.name)).value_or(platform::TimeKeeping{}),
                secondsEast);
        if (StampItem* item = std::get_if<StampItem>(&planned)) {
            plan.items.push_back(std::move(*item));
            plan.indices.push_back(index);
        } else if (std::holds_alternative<Untouched>(planned)) {
            plan.untouched.push_back(index);
        } else {
            plan.leftAlone.emplace_back(target.name, std::get<TargetState>(planned));
        }
    }
    return plan;
}

std::variant<RestoreChoice, Box> RestoreChoice::Open(const RunContext& context,
                                                     const std::string& listFolder,
                                                     const RunRecords& records) {
    auto held = HoldListFolder(context, listFolder);
    if (Box* gone = std::get_if<Box>(&held))
        return std::move(*gone);
    std::unique_ptr<ScriptRun> run = std::move(std::get<std::unique_ptr<ScriptRun>>(held));
    platform::FileState folder;
    if (const std::error_code gone = platform::FileStateOf(run->folder.Inside(""), folder))
        return Box::Information(messages::ListFolderGone(run->folder.Path()));
    return RestoreChoice(context, records, std::move(run),
                         records.Runs(folder.device, folder.number));
}

RestoreChoice::RestoreChoice(const RunContext& context, const RunRecords& records,
                             std::unique_ptr<ScriptRun> run, RunRecords::Found found)
    : context_(context), records_(records), run_(std::move(run)), runs_(std::move(found.runs)) {
    if (found.refused.empty())
        return;
    std::vector<std::pair<std::string, std::error_code>> refused;
    for (const RunRecords::Refused& each : found.refused)
        refused.emplace_back(each.path, each.reason);
    refused_ = Box::Information(messages::RecordsRefused(refused));
}

namespace {

/// The folders the targets of `record` lay in, as the run named them, each once, in record order.
std::vector<std::string> FoldersOfTargets(const RunRecord& record) {
    std::vector<std::string> folders;
    for (const RecordedTarget& target : record.targets) {
        std::string folder(platform::FolderPartOf(target.name));
        // "../muunnetut/" reads as "../muunnetut"; the root keeps its separator.
        if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
            folder.pop_back();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }
    return folders;
}

} // namespace

RestoreChoice::Offer RestoreChoice::Next() {
    if (refused_) {
        Offer told{Offer::Kind::Tell, std::move(refused_->text), false};
        refused_.reset();
        return told;
    }
    ScriptRun& run = *run_;
    if (runs_.empty())
        return {Offer::Kind::End, messages::NothingToRestore(run.folder.Path()), false};
    while (next_ < runs_.size()) {
        const std::string& path = runs_[next_++].path;
        RunRecord record;
        if (const std::error_code error = records_.Read(path, record))
            return {Offer::Kind::Tell, messages::RecordsRefused({{path, error}}), false};
        RestorePlan plan =
            PlanRestore(record, run.places, context_.script, run.scriptName, run.secondsEast);
        LeaveLaterRunsAlone(record, plan);
        if (plan.items.empty())
            continue;
        const CalendarTime when = DecodeDateTime(LocalDateTime(record.started, run.secondsEast));
        const bool earlier = next_ < runs_.size();
        Offer offer{Offer::Kind::Ask,
                    messages::AskRestore({plan.items.size(), plan.leftAlone.size(),
                                          record.Unrestored() - plan.untouched.size(), when,
                                          record.folder, FoldersOfTargets(record)},
                                         earlier),
                    earlier};
        record_ = std::move(record);
        path_ = path;
        plan_ = std::move(plan);
        return offer;
    }
    return {Offer::Kind::End,
            messages::NothingRestorable(
                DecodeDateTime(LocalDateTime(runs_.front().header.run.started, run.secondsEast))),
            false};
}

void RestoreChoice::LeaveLaterRunsAlone(const RunRecord& record, RestorePlan& plan) {
    // Offered newest first: every run read before this one is later, and a target that such a
    // run left as it is now would lose that run's recorded times, and the user's edit before it.
    RestorePlan kept;
    kept.untouched = std::move(plan.untouched);
    kept.leftAlone = std::move(plan.leftAlone);
    for (std::size_t i = 0; i < plan.items.size(); ++i) {
        const platform::FileState& file = record.targets[plan.indices[i]].before;
        if (laterTargets_.count({file.device, file.number})) {
            kept.leftAlone.emplace_back(plan.items[i].targetName, TargetState::LaterRun);
            continue;
        }
        kept.items.push_back(std::move(plan.items[i]));
        kept.indices.push_back(plan.indices[i]);
    }
    for (const std::size_t index : kept.indices)
        laterTargets_.insert(
            {record.targets[index].before.device, record.targets[index].before.number});
    plan = std::move(kept);
}

PreparedRun RestoreChoice::Take() {
    run_->items = std::move(plan_.items);
    run_->leftAlone = std::move(plan_.leftAlone);
    run_->note = messages::kFractionNotRestored;
    run_->marks = RestoreMarks{&records_, path_, record_.started, std::move(plan_.indices),
                               std::move(plan_.untouched)};
    return PreparedRun(std::move(run_));
}

} // namespace engine
