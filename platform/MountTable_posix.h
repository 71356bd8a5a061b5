#pragma once

// Internal to the POSIX implementation files of this folder, and their tests: the mount table,
// /proc/self/mountinfo, read and split with plain calls, as Stamplet pays for every library it
// links at every start.

#include <string>
#include <string_view>

namespace platform {

/// The fields of one mount that this folder uses, as the table writes them (a blank as \040).
struct MountEntry {
    std::string_view device; ///< "major:minor".
    std::string_view point;  ///< Where it is mounted.
    std::string_view type;   ///< Its file system type, such as "ext4" or "fuseblk"; may be empty.
    std::string_view source; ///< What is mounted there, such as "/dev/sda1"; may be empty.
};

/// The whole mount table of this process; empty where it cannot be read.
std::string ReadMountTable();

/// Takes the first line off `table` into `line`; false once `table` is used up.
bool NextMountLine(std::string_view& table, std::string_view& line);

/// The mount `line` describes; false where it has too few fields to describe one.
bool ParseMountLine(std::string_view line, MountEntry& entry);

} // namespace platform
