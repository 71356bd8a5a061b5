#pragma once

// Internal to the POSIX implementation files of this folder: the Windows attribute bits that
// NTFS and CIFS volumes keep for their entries.

#include "platform/FileSystemKind_posix.h"

#include <string>

namespace platform {

/// The Windows attribute bits that matter to a search.
struct DosAttributes {
    bool hidden = false;
    bool system = false;
    bool temporary = false;
    bool offline = false;
};

/// Reads the attribute bits of the entries of one folder.
class DosAttributeReader {
public:
    /// Learns the entries' file system; on a Linux file system Read finds nothing.
    void Prepare(FileSystemKind kind);

    /// True where the file system keeps the bits.
    bool Active() const { return attributeName_ != nullptr; }

    /// The bits of the entry at `path`; false where the file system keeps none.
    bool Read(const std::string& path, DosAttributes& attributes) const;

private:
    const char* attributeName_ = nullptr;
};

} // namespace platform
