#include "engine/TargetCheck.h"

#include "platform/DirectorySearch.h"
#include "stampreport/PassedOver.h"

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

EntryCheck CheckEntry(const std::string& path, const std::string& folder, FileTime creation,
                      FileTime lastWrite, TargetFolders& folders) {
    platform::FileTimeSet stored;
    if (platform::StatFileTimes(path, stored))
        return {TargetState::Unreadable, true};
    // Where it cannot be learnt, the exact comparison is the safe one.
    const platform::TimeKeeping keeping = folders.Of(folder).value_or(platform::TimeKeeping{});
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
                       FileTime lastWrite, TargetFolders& folders) {
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
        const EntryCheck check = CheckEntry(platform::JoinPath(folder, entry.name), folder,
                                            creation, lastWrite, folders);
        if (result.state == TargetState::Stamped)
            result.state = check.state;
        result.creationKept = result.creationKept && check.creationKept;
    } while (search.Next(entry));
    if (!any)
        return {skipped.value_or(TargetState::NotFound), true};
    return result;
}

} // namespace

std::string TargetFolders::FolderOf(const std::string& targetName) const {
    const std::size_t separator = targetName.find_last_of(platform::FolderSeparators());
    return separator == std::string::npos
               ? listFolder_
               : platform::JoinPath(listFolder_, targetName.substr(0, separator));
}

const std::optional<platform::TimeKeeping>& TargetFolders::Of(const std::string& folder) {
    const auto known = known_.find(folder);
    if (known != known_.end())
        return known->second;
    std::optional<platform::TimeKeeping> keeping = platform::TimeKeeping{};
    if (platform::TimeKeepingOf(folder, *keeping))
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

TargetReport CheckTargets(const std::string& listFolder, const std::vector<StampItem>& items,
                          std::int32_t secondsEast) {
    TargetReport report;
    TargetFolders folders(listFolder);
    for (const StampItem& item : items) {
        const EntryCheck check = CheckTarget(
            platform::JoinPath(listFolder, item.targetName), folders.FolderOf(item.targetName),
            StampedInstant(item.creationTime, secondsEast),
            StampedInstant(item.lastWriteTime, secondsEast), folders);
        switch (check.state) {
        case TargetState::Stamped:
            ++report.stamped;
            report.creationNotKept += check.creationKept ? 0 : 1;
            continue;
        case TargetState::NotFound:
            ++report.notFound;
            break;
        default:
            ++report.notStamped;
            break;
        }
        report.problems.emplace_back(item.targetName, check.state);
    }
    return report;
}

} // namespace engine
