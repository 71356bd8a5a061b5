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
[[nodiscard]] std::error_code GetFileTimes(const std::string& path, FileTimeSet& times);

/// The three times of the entry at `path`, a file or a folder, as the file system keeps them,
/// read without opening it: what was stored, for checking it. Where no creation time is kept, the
/// same stand-in as GetFileTimes.
[[nodiscard]] std::error_code StatFileTimes(const std::string& path, FileTimeSet& times);

/// How the file system that holds an entry keeps its times.
struct TimeKeeping {
    /// A creation time can be set there and is kept as set.
    bool creationSettable = false;
    /// How far a stored time may lie from the one set, in file-time ticks, for each slot: a FAT
    /// volume keeps last-write times to 2 seconds and last-access times to the day.
    FileTime creationStep = 1;
    FileTime lastAccessStep = 1;
    FileTime lastWriteStep = 1;
};

/// How the file system that holds `path` (an entry, or a folder for the entries in it) keeps
/// times.
[[nodiscard]] std::error_code TimeKeepingOf(const std::string& path, TimeKeeping& keeping);

/// True when `stored` is what a file system keeping times to `step` ticks stores for `wanted`.
inline bool KeptAs(FileTime stored, FileTime wanted, FileTime step) {
    const FileTime difference = stored > wanted ? stored - wanted : wanted - stored;
    return difference < (step > 0 ? step : 1);
}

/// A time exactly as a file system keeps it: seconds since 1970-01-01 00:00:00 UTC and the
/// nanoseconds of the second (in steps of 100 on Windows).
struct ExactTime {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    friend bool operator==(const ExactTime&, const ExactTime&) = default;
};

/// An exact time as a file time, to 100 nanoseconds; one before 1601 as 0.
FileTime ToFileTime(const ExactTime& time);

/// Which entry stands at a path and its times, as the file system keeps them: what a run records
/// of a target before changing it.
struct FileState {
    std::uint64_t device = 0; ///< With `number`, names the entry wherever it stands: a device
    std::uint64_t number = 0; ///< and inode number, or a volume and a file index on Windows.
    bool folder = false;
    std::optional<ExactTime> creation; ///< Where the file system keeps one.
    ExactTime lastAccess;
    ExactTime lastWrite;
};

/// The state of the entry at `path` (a link is followed), read without opening it for writing.
[[nodiscard]] std::error_code FileStateOf(const std::string& path, FileState& state);

/// Where the entry at `path` is a symbolic link, `linked` becomes true and `folder` the state of
/// the folder that the entry the link finally leads to lies in; where it is none, `linked`
/// becomes false. A link that leads nowhere is an error. (Windows: always false.)
[[nodiscard]] std::error_code LinkedFolderOf(const std::string& path, bool& linked,
                                             FileState& folder);

/// The times to give an entry; an empty slot stays as it is.
struct FileTimeChange {
    std::optional<FileTime> creation;
    std::optional<FileTime> lastAccess;
    std::optional<FileTime> lastWrite;
    /// Where set, the entry is changed only if its last-write time is still this one (see
    /// CheckLastWrite): a guard against changing a file edited since this time was given to it.
    std::optional<FileTime> ifLastWrite;
};

/// Empty when `stored`, an entry's last-write time, is still `expected`, a time given to it
/// earlier: within a second, as whole seconds are what a stamp gives, or within the wider step
/// of the file system that holds `path` (two seconds on FAT). operation_canceled where it is
/// not.
[[nodiscard]] std::error_code CheckLastWrite(const std::string& path, FileTime stored,
                                             FileTime expected);

/// Opens the entry at `path` (a file, or a folder) for changing and sets the chosen times. An
/// entry that nobody may write (no write permission at all) is refused, whoever asks. Where the
/// change names `ifLastWrite`, the entry's last-write time is checked right before the change,
/// on the entry about to be changed, and an entry that no longer carries it is left as it is
/// with operation_canceled. Every time set is read back: one the file system did not store as
/// given (beyond its step, see TimeKeeping) is an error, result_out_of_range for a time outside
/// what it can hold. Where the file system keeps no creation time that can be set, the other
/// slots are still set and `creationNotKept` becomes true.
[[nodiscard]] std::error_code SetFileTimes(const std::string& path, const FileTimeChange& change,
                                           bool& creationNotKept);

} // namespace platform
