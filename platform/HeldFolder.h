#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

/// A folder this process holds on to, so that what is done in it later is done in the very
/// folder that was held, whatever becomes of its path meanwhile: another folder put in its place
/// by a neighbour is never worked in. On Windows a held folder cannot be renamed or removed; on
/// other systems it can, and its path no longer leads to it. Let go when the object goes.
class HeldFolder {
public:
    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    /// Holds the folder `path` leads to now.
    [[nodiscard]] std::error_code Hold(const std::string& path);

    /// The path given to Hold.
    const std::string& Path() const { return path_; }

    /// A path that leads to `name` inside the held folder wherever the folder stands (the folder
    /// itself for an empty name), valid for this process's own calls while the folder is held.
    std::string Inside(std::string_view name) const;

    /// True when Inside leads through the held handle rather than along the path: then it leads
    /// into the held folder for a process the folder is passed to as well
    /// (ProcessStart::passedFolders), wherever the folder stands.
    bool ThroughHandle() const { return throughDescriptor_; }

    /// True when the folder that `device` and `number` name (as FileState gives them) is the held
    /// folder itself.
    bool IsFolder(std::uint64_t device, std::uint64_t number) const {
        return handle_ != kNone && device == device_ && number == number_;
    }

    /// True when `path` leads to the held folder itself.
    bool Is(const std::string& path) const;

    /// Where the held folder stands now, as far as the system tells; the path given to Hold
    /// where it does not.
    std::string WhereNow() const;

    /// The system's handle of the held folder (a file descriptor or a HANDLE), for the process
    /// layer.
    std::intptr_t NativeHandle() const { return handle_; }

private:
    static constexpr std::intptr_t kNone = -1;

    std::string path_;
    std::intptr_t handle_ = kNone;
    std::uint64_t device_ = 0;
    std::uint64_t number_ = 0;
    bool throughDescriptor_ = false; ///< Inside() leads through the held handle.
};

} // namespace platform
