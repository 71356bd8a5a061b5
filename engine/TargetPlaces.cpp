#include "engine/TargetPlaces.h"

#include "platform/DirectorySearch.h"

namespace engine {

std::string TargetPlaces::KnownPath(const std::string& folderPart) const {
    return platform::IsAbsolutePath(folderPart) ? folderPart
                                                : platform::JoinPath(list_.Path(), folderPart);
}

void TargetPlaces::Hold(const std::string& targetName) {
    const std::string part(platform::FolderPartOf(targetName));
    if (part.empty() || held_.count(part))
        return;
    auto folder = std::make_unique<platform::HeldFolder>();
    // Reached as the list folder reaches it now: through the held list folder where relative.
    const std::string path = platform::IsAbsolutePath(part) ? part : list_.Inside(part);
    if (folder->Hold(path))
        folder.reset();
    // Kept empty too: a folder that was not there is not looked for again.
    held_.emplace(part, std::move(folder));
}

const platform::HeldFolder* TargetPlaces::HeldAt(const std::string& part) const {
    const auto held = held_.find(part);
    return held == held_.end() ? nullptr : held->second.get();
}

std::string TargetPlaces::PathOf(const std::string& targetName) const {
    const std::string part(platform::FolderPartOf(targetName));
    const std::string name = targetName.substr(part.size());
    if (part.empty())
        return list_.Inside(name);
    if (const platform::HeldFolder* held = HeldAt(part))
        return held->Inside(name);
    return platform::IsAbsolutePath(targetName) ? targetName : list_.Inside(targetName);
}

std::string TargetPlaces::PassedPathOf(const std::string& targetName) const {
    const std::string part(platform::FolderPartOf(targetName));
    const platform::HeldFolder* held = part.empty() ? nullptr : HeldAt(part);
    if (!held || !held->ThroughHandle())
        return targetName;
    return held->Inside(targetName.substr(part.size()));
}

bool TargetPlaces::Holds(std::uint64_t device, std::uint64_t number) const {
    if (list_.IsFolder(device, number))
        return true;
    for (const auto& [part, folder] : held_)
        if (folder && folder->IsFolder(device, number))
            return true;
    return false;
}

std::vector<const platform::HeldFolder*> TargetPlaces::Passed() const {
    std::vector<const platform::HeldFolder*> passed;
    for (const auto& [part, folder] : held_)
        if (folder && folder->ThroughHandle())
            passed.push_back(folder.get());
    return passed;
}

std::string TargetPlaces::FolderOf(const std::string& targetName) const {
    const std::string part(platform::FolderPartOf(targetName));
    if (part.empty())
        return list_.Inside("");
    if (const platform::HeldFolder* held = HeldAt(part))
        return held->Inside("");
    return platform::IsAbsolutePath(part) ? part : list_.Inside(part);
}

std::optional<std::pair<std::string, std::string>> TargetPlaces::Moved() const {
    for (const auto& [part, folder] : held_) {
        if (!folder)
            continue;
        const std::string known = KnownPath(part);
        if (!folder->Is(known))
            return std::pair{known, folder->WhereNow()};
    }
    return std::nullopt;
}

} // namespace engine
