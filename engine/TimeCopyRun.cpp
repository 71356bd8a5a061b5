#include "engine/TimeCopyRun.h"

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/Names.h"
#include "engine/RunRecord.h"
#include "engine/ScriptRun.h"
#include "platform/DirectorySearch.h"
#include "platform/LocalTime.h"
#include "stampreport/PassedOver.h"

#include <algorithm>
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

/// The pattern, the list and the selection, then what the script will rely on. False once the
/// message that ends the run has been shown.
bool CheckRequest(TRunSurroundings& surroundings, const RunContext& context, RunRequest& request,
                  std::int32_t& secondsEast) {
    const FieldTexts& fields = request.fields;
    ListState& list = request.list;
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
    return CheckScriptNeeds(surroundings, context, list.folder, secondsEast);
}

/// The stamp items of the selected sources in list order, or nothing once the message that
/// ends the run has been shown.
std::optional<std::vector<StampItem>> BuildItems(TRunSurroundings& surroundings,
                                                 const RunContext& context,
                                                 const RunRequest& request, const ScriptRun& run) {
    const FixedZone runZone(run.secondsEast);
    TargetFolders folders(run.folder.Inside(""));
    const std::string& pattern = request.fields.targetPattern;
    const ListState& list = request.list;
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
        if (NamesTheScript(run.folder, run.scriptName, item.targetName)) {
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

/// Each entry the run's targets name, as the run finds it before stamping it: which file it is,
/// its times exactly as the disk keeps them, and the times the run is to set. A target that
/// names no entry Stamplet would stamp has nothing to record.
RunRecord RecordTargets(const ScriptRun& run) {
    RunRecord record;
    record.folder = run.folder.Path();
    platform::FileState folder;
    if (!platform::FileStateOf(run.folder.Inside(""), folder)) {
        record.folderDevice = folder.device;
        record.folderNumber = folder.number;
    }
    const std::int64_t now = platform::UnixNowMilliseconds();
    record.started = {now / 1000, static_cast<std::uint32_t>(now % 1000) * 1000000u};
    for (const StampItem& item : run.items) {
        const std::size_t separator = item.targetName.find_last_of(platform::FolderSeparators());
        const std::string folderPart =
            separator == std::string::npos ? "" : item.targetName.substr(0, separator + 1);
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        for (bool found = !search.First(run.folder.Inside(item.targetName), entry); found;
             found = search.Next(entry)) {
            if (stampreport::WhyPassedOver(entry, false) != stampreport::PassedOver::No)
                continue;
            RecordedTarget target;
            target.name = folderPart + entry.name;
            if (platform::FileStateOf(run.folder.Inside(target.name), target.before))
                continue;
            target.setCreation =
                item.stampCreation ? StampedInstant(item.creationTime, run.secondsEast) : 0;
            target.setLastWrite = StampedInstant(item.lastWriteTime, run.secondsEast);
            record.targets.push_back(std::move(target));
        }
    }
    return record;
}

} // namespace

RunEnd RunTimeCopy(TRunSurroundings& surroundings, const RunContext& context, RunRequest request) {
    std::int32_t secondsEast = 0;
    if (!CheckRequest(surroundings, context, request, secondsEast))
        return RunEnd::Stopped;
    std::shared_ptr<ScriptRun> run =
        HoldListFolder(surroundings, context, request.list.folder, secondsEast);
    if (!run)
        return RunEnd::Stopped;
    std::optional<std::vector<StampItem>> items = BuildItems(surroundings, context, request, *run);
    if (!items)
        return RunEnd::Stopped;
    run->items = std::move(*items);
    // What the run changes is recorded before anything is written; without the record, nothing
    // is.
    if (context.records) {
        std::string path;
        if (const std::error_code error = context.records->Add(RecordTargets(*run), path)) {
            surroundings.ShowInformation(messages::RecordNotWritten(path, error.message()));
            return RunEnd::Stopped;
        }
    }
    return WriteAndStart(surroundings, context, std::move(run));
}

} // namespace engine
