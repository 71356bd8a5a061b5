#include "engine/TimeCopyRun.h"

#include "engine/AtOnce.h"
#include "engine/DateTime.h"

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/Names.h"
#include "engine/RunRecord.h"
#include "engine/ScriptRun.h"
#include "platform/DirectorySearch.h"
#include "platform/LocalTime.h"
#include "stampreport/PassedOver.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace engine {
namespace {

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool AnySelected(const ListState& list) {
    return std::find(list.selected.begin(), list.selected.end(), true) != list.selected.end();
}

/// The pattern, the list and the selection: the box or the question that comes before anything
/// else, where there is one.
std::optional<Prepared> CheckRequest(const RunRequest& request) {
    const FieldTexts& fields = request.fields;
    const ListState& list = request.list;
    if (IsBlank(fields.targetPattern))
        return Box::Information(messages::kBlankPattern);
    if (list.items.empty())
        return Box::Information(messages::EmptyList(fields.filter));
    if (!AnySelected(list))
        return Question{messages::kNothingSelected};
    return std::nullopt;
}

/// A source's times as the run reads them; `read` false where they cannot be read.
struct SourceTimes {
    bool read = false;
    TDateTime creation = 0;
    TDateTime lastWrite = 0;
};

/// The times of every selected source, by its place in the list, read at once.
std::vector<SourceTimes> ReadSourceTimes(const ListState& list, const ScriptRun& run) {
    const FixedZone runZone(run.secondsEast);
    std::vector<SourceTimes> sources(list.items.size());
    ForEachAtOnce(list.items.size(), [&](std::size_t i) {
        if (i >= list.selected.size() || !list.selected[i])
            return;
        TDateTime lastAccess = 0;
        SourceTimes& times = sources[i];
        times.read = TFileInfo(run.folder.Inside(list.items[i]), runZone)
                         .ReadFileTimes(times.creation, lastAccess, times.lastWrite);
    });
    return sources;
}

/// Why `name`, whose target is `item.targetName`, cannot be stamped as the pattern makes it; the
/// target's folder is held from here on.
std::optional<std::string> RefuseTarget(const RunContext& context, const std::string& pattern,
                                        const std::string& name, ScriptRun& run,
                                        const StampItem& item) {
    if (item.targetName == name)
        return messages::TargetIsSource(name);
    // The stem goes into the target name, where Stamplet would read * and ? as wildcards and
    // stamp other files too; a ? the user typed into the pattern keeps its meaning.
    if (pattern.find('*') != std::string::npos &&
        StripExtension(name).find_first_of("*?") != std::string::npos)
        return messages::SourceNameIsMask(name);
    if (!context.script.CarriesUnchanged(item.targetName))
        return messages::TargetNotCarried(name, item.targetName);
    run.places.Hold(item.targetName);
    if (NamesTheScript(run.places, run.scriptName, item.targetName))
        return messages::TargetIsScript(item.targetName);
    return std::nullopt;
}

/// True where an entry `targetName` names is a symbolic link that leads out of the folders the
/// run holds: Stamplet would follow it and stamp a file the user never chose.
bool LeadsOut(const ScriptRun& run, const std::string& targetName) {
    const std::string folder = run.places.FolderOf(targetName);
    platform::DirectorySearch search;
    platform::FoundEntry entry;
    for (bool found = search.Start(run.places.PathOf(targetName), entry); found;
         found = search.Next(entry)) {
        bool linked = false;
        platform::FileState where;
        if (const std::error_code nowhere =
                platform::LinkedFolderOf(platform::JoinPath(folder, entry.name), linked, where))
            continue;
        if (linked && !run.places.Holds(where.device, where.number))
            return true;
    }
    return false;
}

/// The stamp items of the selected sources in list order, or the box that stops the run.
std::variant<std::vector<StampItem>, Box> BuildItems(const RunContext& context,
                                                     const RunRequest& request, ScriptRun& run) {
    TargetFolders folders(run.places);
    const std::string& pattern = request.fields.targetPattern;
    const ListState& list = request.list;
    const std::vector<SourceTimes> sources = ReadSourceTimes(list, run);
    std::vector<StampItem> items;
    items.reserve(
        static_cast<std::size_t>(std::count(list.selected.begin(), list.selected.end(), true)));
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (i >= list.selected.size() || !list.selected[i])
            continue;
        const std::string& name = list.items[i];
        StampItem item;
        item.sourceName = name;
        item.targetName = MakeTargetName(name, pattern);
        if (std::optional<std::string> refusal = RefuseTarget(context, pattern, name, run, item))
            return Box::Information(std::move(*refusal));
        if (LeadsOut(run, item.targetName)) {
            run.leftAlone.emplace_back(item.targetName, TargetState::LinkOut);
            continue;
        }
        // Where it cannot be learnt, both lines stay.
        const auto& keeping = folders.Of(folders.FolderOf(item.targetName));
        item.stampCreation = !keeping || keeping->creationSettable;
        if (!sources[i].read)
            return Box::Information(messages::TimesUnreadable(name));
        item.creationTime = sources[i].creation;
        item.lastWriteTime = sources[i].lastWrite;
        items.push_back(std::move(item));
    }
    return items;
}

/// True where a time the script hands over to the second, and so without its fraction, has one.
bool DropsAFraction(const std::vector<StampItem>& items) {
    const auto fraction = [](TDateTime time) { return MillisecondsFromDateTime(time) % 1000 != 0; };
    return std::any_of(items.begin(), items.end(), [&](const StampItem& item) {
        return fraction(item.lastWriteTime) || (item.stampCreation && fraction(item.creationTime));
    });
}

/// True where `target` already carries the times the run sets: the run changes nothing there.
bool AlreadySo(const RecordedTarget& target) {
    const platform::FileState& s = target.before;
    return platform::ToFileTime(s.lastWrite) == target.setLastWrite &&
           (target.setCreation == 0 ||
            (s.creation && platform::ToFileTime(*s.creation) == target.setCreation));
}

/// The entries one target names that the run changes, as the run finds them before stamping
/// them: which file each is, its times exactly as the disk keeps them, and the times the run is
/// to set. A target that names no entry Stamplet would stamp, or only entries that already carry
/// those times, has nothing to record.
std::vector<RecordedTarget> RecordTarget(const ScriptRun& run, const StampItem& item) {
    const std::string folderPart(platform::FolderPartOf(item.targetName));
    std::vector<RecordedTarget> targets;
    platform::DirectorySearch search;
    platform::FoundEntry entry;
    for (bool found = search.Start(run.places.PathOf(item.targetName), entry); found;
         found = search.Next(entry)) {
        if (stampreport::WhyPassedOver(entry, false) != stampreport::PassedOver::No)
            continue;
        RecordedTarget target;
        target.name = folderPart + entry.name;
        if (const std::error_code unreadable =
                platform::FileStateOf(run.places.PathOf(target.name), target.before))
            continue;
        target.setCreation =
            item.stampCreation ? StampedInstant(item.creationTime, run.secondsEast) : 0;
        target.setLastWrite = StampedInstant(item.lastWriteTime, run.secondsEast);
        if (!AlreadySo(target))
            targets.push_back(std::move(target));
    }
    return targets;
}

/// Every entry the run's targets name, as the run finds it before stamping it, in item order.
RunRecord RecordTargets(const ScriptRun& run) {
    RunRecord record;
    record.folder = run.folder.Path();
    platform::FileState folder;
    if (const std::error_code unreadable = platform::FileStateOf(run.folder.Inside(""), folder);
        !unreadable) {
        record.folderDevice = folder.device;
        record.folderNumber = folder.number;
    }
    const std::int64_t now = platform::UnixNowMilliseconds();
    record.started = {now / 1000, static_cast<std::uint32_t>(now % 1000) * 1000000u};
    std::vector<std::vector<RecordedTarget>> found(run.items.size());
    ForEachAtOnce(run.items.size(),
                  [&](std::size_t i) { found[i] = RecordTarget(run, run.items[i]); });
    for (std::vector<RecordedTarget>& targets : found)
        std::move(targets.begin(), targets.end(), std::back_inserter(record.targets));
    return record;
}

} // namespace

Prepared PrepareTimeCopy(const RunContext& context, const RunRequest& request) {
    if (std::optional<Prepared> refused = CheckRequest(request))
        return std::move(*refused);
    auto held = HoldListFolder(context, request.list.folder);
    if (Box* stop = std::get_if<Box>(&held))
        return std::move(*stop);
    std::unique_ptr<ScriptRun> run = std::move(std::get<std::unique_ptr<ScriptRun>>(held));
    auto items = BuildItems(context, request, *run);
    if (Box* stop = std::get_if<Box>(&items))
        return std::move(*stop);
    run->items = std::move(std::get<std::vector<StampItem>>(items));
    if (DropsAFraction(run->items))
        run->note = messages::kFractionDropped;
    // What the run changes is recorded before anything is written; without the record, nothing
    // is. A run that changes nothing leaves nothing to take back, and no record.
    if (context.records) {
        RunRecord record = RecordTargets(*run);
        if (!record.targets.empty()) {
            std::string path;
            if (const std::error_code error = context.records->Add(record, path))
                return Box::Information(messages::RecordNotWritten(path, error.message()));
            run->record = std::move(record);
            run->records = context.records;
            run->recordPath = std::move(path);
        }
    }
    return PreparedRun(std::move(run));
}

} // namespace engine
