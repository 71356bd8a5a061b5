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

/// What the script relies on: the list folder and the program folder as the interpreter reads
/// them, Stamplet in the program folder, and the zone's offset now, which becomes the run's one
/// offset; or the box that stops the run where one fails.
std::variant<std::int32_t, Box> CheckScriptNeeds(const RunContext& context,
                                                 const std::string& listFolder) {
    const StampScript& script = context.script;
    if (!script.CarriesUnchanged(listFolder))
        return Box::Information(messages::ListFolderNotCarried(listFolder));
    if (!script.CarriesUnchanged(context.programFolder))
        return Box::Information(messages::ProgramFolderNotCarried(context.programFolder));
    const std::string stamplet = script.StampletPath(context.programFolder);
    platform::FileTimeSet found;
    if (const std::error_code missing = platform::StatFileTimes(stamplet, found))
        return Box::Information(messages::StampletMissing(stamplet));
    // One offset for the whole run: every time is turned into local time the same way, and
    // every Stamplet call turns it back the same way, even across a change of daylight-saving
    // time.
    const std::optional<std::int32_t> offset = context.zone.OffsetNow();
    if (!offset)
        return Box::Information(messages::kZoneUnreadable);
    return *offset;
}

} // namespace

std::variant<std::unique_ptr<ScriptRun>, Box> HoldListFolder(const RunContext& context,
                                                             const std::string& listFolder) {
    auto needs = CheckScriptNeeds(context, listFolder);
    if (Box* stop = std::get_if<Box>(&needs))
        return std::move(*stop);
    const std::int32_t secondsEast = std::get<std::int32_t>(needs);
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

} // namespace engine
