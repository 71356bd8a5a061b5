#pragma once

// Internal to the POSIX implementation files of this folder: which of the file systems that keep
// Windows attributes and creation times an open file lives on.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <sys/types.h>

namespace platform {

enum class FileSystemKind {
    Other,      ///< A Linux file system: no Windows attributes, no settable creation time.
    NtfsFuse,   ///< NTFS through ntfs-3g: attributes and a settable creation time.
    NtfsKernel, ///< NTFS through the ntfs3 driver: attributes; the creation time is read-only.
    Cifs,       ///< A CIFS/SMB mount: attributes and a settable creation time.
    Fat,        ///< FAT or exFAT: last-write times to 2 seconds, last-access times to the day.
};

/// The kind of the file system that holds the open file `fd`, by its type as statfs and the mount
/// table give it.
FileSystemKind FileSystemOf(int fd);

/// The kind of the file system whose device is `dev` and which holds `path`, asked of the system
/// once per device while the mount table stays as it is: a folder's entries share their file
/// system, and a device number can pass to the next medium mounted.
FileSystemKind FileSystemOfDevice(dev_t dev, const char* path);

/// The changes of the mount table of this process's mount namespace as it was when made.
class MountWatch {
public:
    MountWatch();
    ~MountWatch();
    MountWatch(const MountWatch&) = delete;
    MountWatch& operator=(const MountWatch&) = delete;

    /// True where something was mounted or unmounted since the last call (or since this watch
    /// was made), and always where the table cannot be watched.
    bool Changed();

private:
    int fd_;
};

/// The kinds learnt by device since the mount table last changed. The engine looks entries up
/// from several threads at once.
class KindCache {
public:
    /// The kind kept for `dev`, if any. Where `mountsChanged` says that the mount table changed
    /// since it was last asked, every kind is forgotten first; it is asked under the cache's lock,
    /// so that no thread finds a kind while another has seen the change and not yet forgotten.
    /// `generation` receives the state of the cache that Add must find unchanged.
    std::optional<FileSystemKind> Find(dev_t dev, const std::function<bool()>& mountsChanged,
                                       std::uint64_t& generation);

    /// Keeps `kind` for `dev`, unless the mount table was seen to change since the Find that gave
    /// `generation`: then the kind may be that of a medium no longer mounted.
    void Add(dev_t dev, FileSystemKind kind, std::uint64_t generation);

private:
    std::mutex lock_;
    std::map<dev_t, FileSystemKind> kinds_;
    std::uint64_t generation_ = 0;
};

/// The names of the extended attributes that carry the Windows attribute bits and the creation
/// time on a file system of `kind`; null where it has none.
const char* AttributeBitsName(FileSystemKind kind);
const char* CreationTimeName(FileSystemKind kind);

} // namespace platform
