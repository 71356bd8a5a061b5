#pragma once

#include "engine/StampScript.h"
#include "engine/TargetPlaces.h"
#include "platform/FileTimes.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace engine {

/// What became of one target, read back from the disk after the script had ended.
enum class TargetState {
    Stamped,          ///< Its last-write time is its source's.
    NotFound,         ///< No entry of that name.
    Folder,           ///< A folder, which Stamplet passes over.
    Skipped,          ///< Hidden, temporary or offline, which Stamplet passes over.
    WriteTimeDiffers, ///< Found, but its last-write time is not its source's.
    Unreadable,       ///< Its times could not be read.
    // A restore leaves these alone.
    ChangedSince, ///< Its times are no longer those the run set.
    Replaced,     ///< Another file stands at its name.
    NotCarried,   ///< Its name or its times cannot be handed to Stamplet as they are.
    LaterRun,     ///< A later run changed it; that run is to be taken back first.
    LinkOut,      ///< A symbolic link that leads out of the folders the run holds.
};

/// The targets of one run as found on the disk.
struct TargetReport {
    unsigned stamped = 0;
    unsigned notStamped = 0; ///< Found but not given their times.
    unsigned notFound = 0;
    unsigned notReached = 0; ///< Never tried: the script was stopped before them.
    /// Stamped targets whose creation time is not their source's, or lies where no creation time
    /// can be set (most Linux file systems).
    unsigned creationNotKept = 0;
    /// Every target that was not stamped, in list order, with what became of it.
    std::vector<std::pair<std::string, TargetState>> problems;

    bool AllStamped() const { return notStamped == 0 && notFound == 0 && notReached == 0; }
};

/// How the folders of a run's targets keep times, asked of the system once per folder.
class TargetFolders {
public:
    explicit TargetFolders(const TargetPlaces& places) : places_(places) {}

    /// The folder `targetName` lies in: the list folder, or the folder the name gives.
    std::string FolderOf(const std::string& targetName) const {
        return places_.FolderOf(targetName);
    }

    /// How `folder` keeps times; nothing where that cannot be learnt.
    const std::optional<platform::TimeKeeping>& Of(const std::string& folder);

private:
    const TargetPlaces& places_;
    std::map<std::string, std::optional<platform::TimeKeeping>> known_;
};

/// The instant Stamplet stores for the local time `local` as the script hands it over (to the
/// second), converted with `secondsEast`.
std::uint64_t StampedInstant(TDateTime local, std::int32_t secondsEast);

/// Reads back the times of each item's target where `places` find it and compares them with what
/// the script was to set, within the file system's steps. A target name with wildcards stands for
/// every entry it matches, as it does for Stamplet.
TargetReport CheckTargets(const TargetPlaces& places, const std::vector<StampItem>& items,
                          std::int32_t secondsEast);

} // namespace engine
