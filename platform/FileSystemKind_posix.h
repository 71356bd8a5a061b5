#pragma once

// Internal to the POSIX implementation files of this folder: which of the file systems that keep
// Windows attributes and creation times an open file lives on.

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
/// once per device: a folder's entries share their file system.
FileSystemKind FileSystemOfDevice(dev_t dev, const char* path);

/// The names of the extended attributes that carry the Windows attribute bits and the creation
/// time on a file system of `kind`; null where it has none.
const char* AttributeBitsName(FileSystemKind kind);
const char* CreationTimeName(FileSystemKind kind);

} // namespace platform
