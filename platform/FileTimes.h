#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace platform {

/// A file time: 100-nanosecond intervals since 1601-01-01 00:00:00 UTC.
using FileTime = std::uint64_t;

/// The Unix epoch (1970-01-01 00:00:00 UTC) as a file time.
inline constexpr FileTime kUnixEpochFileTime = 116444736000000000ULL;

/// File-time ticks in one second.
inline constexpr FileTime kFileTimeTicksPerSecond = 10000000ULL;

/// The creation, last-access and last-write times of one file, in UTC.
struct FileTimeSet {
    FileTime creation = 0;
    FileTime lastAccess = 0;
    FileTime lastWrite = 0;
};

/// Opens the file at `path` for reading, as other programs may keep reading and writing it, and
/// reads its three times. A folder is refused. Where the file system keeps no creation time, the
/// earlier of the last-write and status-change times stands for it. A time before 1601 cannot be
/// given as a file time and is reported as an error.
std::error_code GetFileTimes(const std::string& path, FileTimeSet& times);

/// The times to give an entry; an empty slot stays as it is.
struct FileTimeChange {
    std::optional<FileTime> creation;
    std::optional<FileTime> lastAccess;
    std::optional<FileTime> lastWrite;
};

/// Opens the entry at `path` (a file, or a folder) for changing and sets the chosen times. An
/// entry that nobody may write (no write permission at all) is refused, whoever asks. Where the
/// file system keeps no creation time that can be set, the other slots are still set and
/// `creationNotKept` becomes true; where it keeps one, a creation time that does not read back as
/// written is an error.
std::error_code SetFileTimes(const std::string& path, const FileTimeChange& change,
                             bool& creationNotKept);

} // namespace platform
