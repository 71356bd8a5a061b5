#pragma once

// Internal to the POSIX implementation files of this folder, and their tests.

#include "platform/Volumes.h"

#include <string_view>

namespace platform {

/// The file systems the mount table `table` lists, in the form of /proc/self/mountinfo. A file
/// system counts as removable where desktops mount what the user plugs in; under /mnt only a real
/// volume does, a block device or a network share, and not any other mount made there.
std::vector<Volume> VolumesOfMountTable(std::string_view table);

} // namespace platform
