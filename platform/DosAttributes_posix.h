#pragma once

// Internal to the POSIX implementation files of this folder: the Windows attribute bits that
// NTFS and CIFS volumes keep for their entries.

#include "platform/FileSystemKind_posix.h"

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
    /// Learns the folder's file system; on a Linux file system Read finds nothing.
    void Prepare(int folderFd);

    /// The bits of `name` in the prepared folder; false where the file system keeps none.
    bool Read(int folderFd, const char* name, DosAttributes& attributes) const;

private:
    const char* attributeName_ = nullptr;
};

} // namespace platform
