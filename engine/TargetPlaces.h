#pragma once

#include "platform/HeldFolder.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace engine {

/// Where a run finds its targets: in the list folder, or in any folder a target name leads to,
/// relative to the list folder (`conv/`, `../out/`) or from a root (`/media/out/`, `D:\Out\`).
/// Each such folder is held from the moment a target in it is first named, so that the run reads,
/// records and judges its targets in the very folder the user saw, whatever becomes of its path.
class TargetPlaces {
public:
    /// Targets relative to the held list folder, which must stay held while this stands.
    explicit TargetPlaces(const platform::HeldFolder& list) : list_(list) {}
    TargetPlaces(const TargetPlaces&) = delete;
    TargetPlaces& operator=(const TargetPlaces&) = delete;

    const platform::HeldFolder& List() const { return list_; }

    /// Holds the folder that `targetName` lies in, where it is not the list folder itself and is
    /// not held yet. A folder that cannot be held (there is none) stays unheld: its targets are
    /// then looked for by their names.
    void Hold(const std::string& targetName);

    /// A path that leads to `targetName` for this process's own calls: through its folder where
    /// that is held.
    std::string PathOf(const std::string& targetName) const;

    /// How a process started with the Passed folders names `targetName`: through its held folder
    /// where that folder is reached through its handle, else as written (relative to the list
    /// folder, the process's current folder).
    std::string PassedPathOf(const std::string& targetName) const;

    /// True when the folder `device` and `number` name is the list folder or a folder held.
    bool Holds(std::uint64_t device, std::uint64_t number) const;

    /// The held folders a process that stamps the targets is started with, so that it reaches
    /// each target in the very folder held, whatever becomes of the folder's path meanwhile.
    std::vector<const platform::HeldFolder*> Passed() const;

    /// A path that leads to the folder `targetName` lies in, as PathOf leads to the target.
    std::string FolderOf(const std::string& targetName) const;

    /// The first held folder whose path no longer leads to it: the path the user knows it by and
    /// where it stands now.
    std::optional<std::pair<std::string, std::string>> Moved() const;

private:
    /// The folder held for the folder part `part` of target names; null where none is.
    const platform::HeldFolder* HeldAt(const std::string& part) const;

    /// The folder part of `targetName` as the user knows it: joined to the list folder's path
    /// where relative.
    std::string KnownPath(const std::string& folderPart) const;

    const platform::HeldFolder& list_;
    /// By the folder part of the target names, as written.
    std::map<std::string, std::unique_ptr<platform::HeldFolder>> held_;
};

} // namespace engine
