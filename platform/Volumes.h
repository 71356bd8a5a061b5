#pragma once

#include <string>
#include <vector>

namespace platform {

/// One mounted file system.
struct Volume {
    std::string root;       ///< Where it is mounted: a folder, or a drive root such as E:\.
    std::string type;       ///< Its file system's type as the system names it ("vfat", "cifs").
    bool removable = false; ///< On a drive the user plugs in.
    bool network = false;   ///< A share on another machine.
};

/// The mounted file systems, read in one pass of the system's mount table.
std::vector<Volume> MountedVolumes();

} // namespace platform
