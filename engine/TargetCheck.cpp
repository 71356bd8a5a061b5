#include "engine/TargetCheck.h"

#include "engine/AtOnce.h"

#include "platform/DirectorySearch.h"
#include "stampreport/PassedOver.h"

#include <algorithm>

namespace engine {
namespace {

using platform::FileTime;

/// Why Stamplet passed over a target without a word, or Stamped where it stamps it. "." and ".."
/// count as not there.
TargetState SkipOf(const platform::FoundEntry& entry) {
    switch (stampreport::WhyPassedOver(entry, false)) {
    case stampreport::PassedOver::Folder:
        return TargetState::Folder;
    case stampreport::PassedOver::Marked:
        return TargetState::Skipped;
    case stampreport::PassedOver::DotEntry:
        return TargetState::NotFound;
    case stampreport::PassedOver::No:
        break;
    }
    return TargetState::Stamped;
}

struct EntryCheck {
    TargetState state = TargetState::Stamped;
    bool creationKept = true;
};

EntryCheck CheckEntry(const std::string& path, FileTime creation, FileTime lastWrite,
                      const platform::TimeKeeping& keeping) {
    platform::FileTimeSet stored;
    if (const std::error_code unreadable = platform::StatFileTimes(path, stored))
        return {TargetState::Unreadable, true};
    if (!platform::KeptAs(stored.lastWrite, lastWrite, keeping.lastWriteStep))
        return {TargetState::WriteTimeDiffers, true};
    // Where no creation time can be set, one that happens to match was not set either.
    return {TargetState::Stamped,
            keeping.creationSettable &&
                platform::KeptAs(stored.creation, creation, keeping.creationStep)};
}

/// Every entry the target's mask matches that Stamplet would stamp must carry the times; where
/// it matches none, what the first match was tells why.
EntryCheck CheckTarget(const std::string& mask, const std::string& folder, FileTime creation,
                       FileTime lastWrite, const platform::TimeKeeping& keeping) {
    platform::DirectorySearch search;
    platform::FoundEntry entry;
    if (search.First(mask, entry))
        return {TargetState::NotFound, true};
    std::optional<TargetState> skipped;
    EntryCheck result;
    bool any = false;
    do {
        if (const TargetState skip = SkipOf(entry); skip != TargetState::Stamped) {
            if (skip != TargetState::NotFound)
                skipped = skipped.value_or(skip);
            continue;
        }
        any = true;
        const EntryCheck check =
            CheckEntry(platform::JoinPath(folder, entry.name), creation, lastWrite, keeping);
        if (result.state == TargetState::Stamped)
            result.state = check.state;
        result.creationKept = result.creationKept && check.creationKept;
    } while (search.Next(entry));
    if (!any)
        return {skipped.value_or(TargetState::NotFound), true};
    return result;
}

} // namespace

const std::optional<platform::TimeKeeping>& TargetFolders::Of(const std::string& folder) {
    const auto known = known_.find(folder);
    if (known != known_.end())
        return known->second;
    std::optional<platform::TimeKeeping> keeping = platform::TimeKeeping{};
    if (const std::error_code unknown = platform::TimeKeepingOf(folder, *keeping))
        keeping.reset();
    return known_.emplace(folder, keeping).first->second;
}

std::uint64_t StampedInstant(TDateTime local, std::int32_t secondsEast) {
    // The script hands over whole seconds: the milliseconds are dropped, as FormatStampTime does.
    CalendarTime fields = DecodeDateTime(local);
    fields.millisecond = 0;
    const std::int64_t ms = MillisecondsFromDateTime(EncodeDateTime(fields)) +
                            kFileTimeToDayZeroMilliseconds -
                            static_cast<std::int64_t>(secondsEast) * 1000;
    return static_cast<std::uint64_t>(ms) * 10000;
}

TargetReport CheckTargets(const TargetPlaces& places, const std::vector<StampItem>& items,
                          std::int32_t secondsEast) {
    // How each folder keeps times, learnt once per folder (nearly always the list folder alone);
    // then every target read back at once.
    TargetFolders folders(places);
    std::vector<std::pair<std::string, platform::TimeKeeping>> keeping;
    std::vector<std::size_t> folderOf(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string folder = folders.FolderOf(items[i].targetName);
        const auto known = std::find_if(keeping.begin(), keeping.end(),
                                        [&folder](const auto& k) { return k.first == folder; });
        folderOf[i] = static_cast<std::size_t>(known - keeping.begin());
        // Where it cannot be learnt, the exact comparison is the safe one.
        if (known == keeping.end())
            keeping.emplace_back(folder, folders.Of(folder).value_or(platform::TimeKeeping{}));
    }
    std::vector<EntryCheck> checks(items.size());
    ForEachAtOnce(items.size(), [&](std::size_t i) {
        const auto& [folder, kept] = keeping[folderOf[i]];
        checks[i] = CheckTarget(places.PathOf(items[i].targetName), folder,
                                StampedInstant(items[i].creationTime, secondsEast),
                                StampedInstant(items[i].lastWriteTime, secondsEast), kept);
    });

    TargetReport report;
    for (std::size_t i = 0; i < items.size(); ++i) {
        switch (checks[i].state) {
        case TargetState::Stamped:
            ++report.stamped;
            report.creationNotKept += checks[i].creationKept ? 0 : 1;
            continue;
        case TargetState::NotFound:
            ++report.notFound;
            break;
        default:
            ++report.notStamped;
            break;
        }
        report.problems.emplace_back(items[i].targetName, checks[i].state);
    }
    return report;
}

} // namespace engine
