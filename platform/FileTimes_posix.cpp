#include "platform/FileTimes.h"

#include "platform/AtPath_posix.h"
#include "platform/DirectorySearch.h"

#include "platform/FileSystemKind_posix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {
namespace {

/// ntfs-3g hands out an NTFS file's times under this name: creation, last write, last access and
/// the record's last change, as four file times. Its own bookkeeping of them is the one to read
/// and to set: ntfs-3g keeps a copy of a file's times that a later change made otherwise (through
/// utimensat after the creation time) can be overwritten from. The ntfs3 kernel driver reports
/// the creation time as the statx birth time instead.
constexpr const char* kNtfsTimesAttribute = "system.ntfs_times";
enum NtfsTime { kNtfsCreation, kNtfsLastWrite, kNtfsLastAccess, kNtfsChange, kNtfsTimes };

constexpr FileTime kSecond = kFileTimeTicksPerSecond;

[[nodiscard]] std::error_code Errno() {
    return {errno, std::generic_category()};
}

bool ToFileTime(const struct statx_timestamp& stamp, FileTime& out) {
    const std::int64_t ticksPerSecond = static_cast<std::int64_t>(kFileTimeTicksPerSecond);
    const std::int64_t epochSeconds =
        static_cast<std::int64_t>(kUnixEpochFileTime) / ticksPerSecond;
    // 1601 is the earliest file time; anything before it has no representation.
    if (stamp.tv_sec < -epochSeconds)
        return false;
    const std::uint64_t seconds = static_cast<std::uint64_t>(stamp.tv_sec + epochSeconds);
    if (seconds > (UINT64_MAX - stamp.tv_nsec / 100) / kFileTimeTicksPerSecond)
        return false;
    out = seconds * kFileTimeTicksPerSecond + stamp.tv_nsec / 100;
    return true;
}

bool ReadNtfsTimes(const std::string& path, FileTime (&times)[kNtfsTimes]) {
    return ::getxattr(path.c_str(), kNtfsTimesAttribute, times, sizeof times) == sizeof times;
}

/// The three times of `path` from statx, which must already hold them.
[[nodiscard]] std::error_code TimesFrom(const struct statx& st, const std::string& path,
                                        FileTimeSet& times) {
    FileTimeSet read;
    if (!ToFileTime(st.stx_atime, read.lastAccess) || !ToFileTime(st.stx_mtime, read.lastWrite))
        return std::make_error_code(std::errc::value_too_large);

    FileTime ntfs[kNtfsTimes];
    if (st.stx_mask & STATX_BTIME) {
        if (!ToFileTime(st.stx_btime, read.creation))
            return std::make_error_code(std::errc::value_too_large);
    } else if (ReadNtfsTimes(path, ntfs)) {
        read.creation = ntfs[kNtfsCreation];
        read.lastWrite = ntfs[kNtfsLastWrite];
        read.lastAccess = ntfs[kNtfsLastAccess];
    } else {
        // No creation time at all: the earlier of last write and status change, as Samba
        // reports it on such file systems.
        FileTime changed = 0;
        if (!ToFileTime(st.stx_ctime, changed))
            return std::make_error_code(std::errc::value_too_large);
        read.creation = changed < read.lastWrite ? changed : read.lastWrite;
    }
    times = read;
    return {};
}

[[nodiscard]] std::error_code Statx(const std::string& path, struct statx& st) {
    const unsigned wanted =
        STATX_TYPE | STATX_MODE | STATX_UID | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    const AtPath at = AtPathOf(path);
    if (::statx(at.folder, at.name, AT_STATX_SYNC_AS_STAT, wanted, &st) != 0)
        return Errno();
    return {};
}

} // namespace

FileTime ToFileTime(const ExactTime& time) {
    struct statx_timestamp stamp {};
    stamp.tv_sec = time.seconds;
    stamp.tv_nsec = time.nanoseconds;
    FileTime ticks = 0;
    return ToFileTime(stamp, ticks) ? ticks : 0;
}

std::error_code LinkedFolderOf(const std::string& path, bool& linked, FileState& folder) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return {errno, std::generic_category()};
    linked = S_ISLNK(st.st_mode);
    if (!linked)
        return {};
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {errno, std::generic_category()};
    const std::string where(resolved);
    std::free(resolved);
    return FileStateOf(std::string(FolderPartOf(where)), folder);
}

std::error_code FileStateOf(const std::string& path, FileState& state) {
    struct statx st;
    if (const std::error_code error = Statx(path, st))
        return error;
    const auto exact = [](const struct statx_timestamp& stamp) {
        return ExactTime{stamp.tv_sec, stamp.tv_nsec};
    };
    FileState read;
    read.device = (static_cast<std::uint64_t>(st.stx_dev_major) << 32) | st.stx_dev_minor;
    read.number = st.stx_ino;
    read.folder = S_ISDIR(st.stx_mode);
    read.lastAccess = exact(st.stx_atime);
    read.lastWrite = exact(st.stx_mtime);
    FileTime ntfs[kNtfsTimes];
    if (st.stx_mask & STATX_BTIME) {
        read.creation = exact(st.stx_btime);
    } else if (ReadNtfsTimes(path, ntfs)) {
        // ntfs-3g keeps them to 100 nanoseconds.
        const auto fromTicks = [](FileTime ticks) {
            const std::int64_t sinceEpoch =
                static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(kUnixEpochFileTime);
            const std::int64_t perSecond = static_cast<std::int64_t>(kFileTimeTicksPerSecond);
            std::int64_t seconds = sinceEpoch / perSecond, rest = sinceEpoch % perSecond;
            if (rest < 0) {
                rest += perSecond;
                --seconds;
            }
            return ExactTime{seconds, static_cast<std::uint32_t>(rest * 100)};
        };
        read.creation = fromTicks(ntfs[kNtfsCreation]);
        read.lastWrite = fromTicks(ntfs[kNtfsLastWrite]);
        read.lastAccess = fromTicks(ntfs[kNtfsLastAccess]);
    }
    state = read;
    return {};
}

std::error_code GetFileTimes(const std::string& path, FileTimeSet& times) {
    // What opening the file for reading would find out, without the open and close: the times
    // come from statx, and the file must be one the caller may read and not a folder.
    struct statx st;
    if (const std::error_code error = Statx(path, st))
        return error;
    if (S_ISDIR(st.stx_mode))
        return std::make_error_code(std::errc::is_a_directory);
    // The owner's read bit decides for the owner, ACLs or not; only other files cost the kernel's
    // own check.
    static const uid_t self = ::geteuid();
    const bool ownReadable = st.stx_uid == self && (st.stx_mode & S_IRUSR) != 0;
    const AtPath at = AtPathOf(path);
    if (!ownReadable && ::faccessat(at.folder, at.name, R_OK, AT_EACCESS) != 0)
        return Errno();
    return TimesFrom(st, path, times);
}

std::error_code StatFileTimes(const std::string& path, FileTimeSet& times) {
    struct statx st;
    if (const std::error_code error = Statx(path, st))
        return error;
    return TimesFrom(st, path, times);
}

std::error_code TimeKeepingOf(const std::string& path, TimeKeeping& keeping) {
    struct stat st;
    const AtPath at = AtPathOf(path);
    if (::fstatat(at.folder, at.name, &st, 0) != 0)
        return Errno();
    keeping = TimeKeeping{};
    switch (FileSystemOfDevice(st.st_dev, path.c_str())) {
    case FileSystemKind::NtfsFuse:
        keeping.creationSettable = true;
        break;
    case FileSystemKind::NtfsKernel:
        break;
    case FileSystemKind::Cifs:
        // The share's own volume decides; a FAT one keeps only every other second.
        keeping.creationSettable = true;
        keeping.creationStep = keeping.lastAccessStep = keeping.lastWriteStep = 2 * kSecond;
        break;
    case FileSystemKind::Fat:
        keeping.creationStep = kSecond / 100;
        keeping.lastWriteStep = 2 * kSecond;
        // A date without a time of day, in local time.
        keeping.lastAccessStep = 2 * 86400 * kSecond;
        break;
    case FileSystemKind::Other:
        // Some Linux file systems (ext3 with small inodes, HFS+) keep whole seconds only.
        keeping.creationStep = keeping.lastAccessStep = keeping.lastWriteStep = kSecond;
        break;
    }
    return {};
}

namespace {

/// The time to hand the system for a slot: the new one, or the one it has. Some FUSE file
/// systems (fusefat) ignore a call that leaves a slot out, so none is left out.
struct timespec ToTimespec(const std::optional<FileTime>& time, const struct timespec& current) {
    struct timespec ts {};
    if (!time)
        return current;
    // Unsigned wrap-around gives the right signed difference for times before 1970.
    const std::int64_t ticks = static_cast<std::int64_t>(*time - kUnixEpochFileTime);
    const std::int64_t perSecond = static_cast<std::int64_t>(kFileTimeTicksPerSecond);
    std::int64_t seconds = ticks / perSecond;
    std::int64_t rest = ticks % perSecond;
    if (rest < 0) {
        rest += perSecond;
        --seconds;
    }
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}

/// Writes the creation time as the file system's attribute and reads it back; an attribute that
/// takes the write but does not keep the value is no creation time.
[[nodiscard]] std::error_code SetCreationAttribute(const std::string& path, const char* name,
                                                   FileTime creation) {
    unsigned char raw[sizeof(FileTime)];
    std::memcpy(raw, &creation, sizeof raw);
    if (::setxattr(path.c_str(), name, raw, sizeof raw, XATTR_REPLACE) != 0)
        return Errno();
    unsigned char back[sizeof(FileTime)];
    if (::getxattr(path.c_str(), name, back, sizeof back) != sizeof back ||
        std::memcmp(raw, back, sizeof raw) != 0)
        return std::make_error_code(std::errc::io_error);
    return {};
}

/// Sets the chosen times through ntfs-3g's own attribute, all in one write, on top of the times
/// the entry has now.
[[nodiscard]] std::error_code SetNtfsTimes(const std::string& path, const FileTimeChange& change,
                                           const FileTime (&now)[kNtfsTimes]) {
    FileTime times[kNtfsTimes];
    std::memcpy(times, now, sizeof times);
    if (change.creation)
        times[kNtfsCreation] = *change.creation;
    if (change.lastWrite)
        times[kNtfsLastWrite] = *change.lastWrite;
    if (change.lastAccess)
        times[kNtfsLastAccess] = *change.lastAccess;
    if (::setxattr(path.c_str(), kNtfsTimesAttribute, times, sizeof times, XATTR_REPLACE) != 0)
        return Errno();
    return {};
}

/// Reads the last-access and last-write times back: a file system that cannot hold a time
/// (ext4 before 1901 or after 2446) clamps it without a word.
[[nodiscard]] std::error_code CheckStored(const std::string& path, const FileTimeChange& change) {
    FileTimeSet stored;
    if (const std::error_code error = StatFileTimes(path, stored))
        return error;
    const auto exact = [](const std::optional<FileTime>& wanted, FileTime kept) {
        return !wanted || *wanted == kept;
    };
    if (exact(change.lastAccess, stored.lastAccess) && exact(change.lastWrite, stored.lastWrite))
        return {};
    // Only a mismatch needs to know how finely the file system keeps times.
    TimeKeeping keeping;
    if (const std::error_code error = TimeKeepingOf(path, keeping))
        return error;
    const auto kept = [](const std::optional<FileTime>& wanted, FileTime got, FileTime step) {
        return !wanted || KeptAs(got, *wanted, step);
    };
    if (kept(change.lastAccess, stored.lastAccess, keeping.lastAccessStep) &&
        kept(change.lastWrite, stored.lastWrite, keeping.lastWriteStep))
        return {};
    return std::make_error_code(std::errc::result_out_of_range);
}

/// Read-only as Windows knows it: nobody may write, so not even root changes it. Windows
/// ignores that mark on folders.
bool ReadOnly(const struct stat& st) {
    return !S_ISDIR(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

struct Times {
    struct timespec slots[2];
};

Times ToTimes(const FileTimeChange& change, const struct stat& st) {
    return {{ToTimespec(change.lastAccess, st.st_atim), ToTimespec(change.lastWrite, st.st_mtim)}};
}

/// An entry's times as they were before a change, to be put back where the file system did not
/// keep the new ones: an entry reported as ignored must be left as it was found.
struct Before {
    struct timespec slots[2];
    FileTime ntfs[kNtfsTimes];
    bool ntfsRead = false;
    const char* creationName = nullptr; ///< Set where the creation attribute was changed.
    unsigned char creation[sizeof(FileTime)];
};

void PutBack(const std::string& path, const Before& before) {
    if (before.ntfsRead)
        ::setxattr(path.c_str(), kNtfsTimesAttribute, before.ntfs, sizeof before.ntfs,
                   XATTR_REPLACE);
    if (before.creationName)
        ::setxattr(path.c_str(), before.creationName, before.creation, sizeof before.creation,
                   XATTR_REPLACE);
    if (!before.ntfsRead) {
        const AtPath at = AtPathOf(path);
        ::utimensat(at.folder, at.name, before.slots, 0);
    }
}

/// Sets the chosen times, leaving `before` what is needed to put them back.
[[nodiscard]] std::error_code Change(const std::string& path, const struct stat& st,
                                     const FileTimeChange& change, Before& before,
                                     bool& creationNotKept) {
    before.slots[0] = st.st_atim;
    before.slots[1] = st.st_mtim;
    const FileSystemKind kind = FileSystemOfDevice(st.st_dev, path.c_str());
    if (kind == FileSystemKind::NtfsFuse && ReadNtfsTimes(path, before.ntfs) &&
        !SetNtfsTimes(path, change, before.ntfs)) {
        before.ntfsRead = true;
        return {};
    }
    if (change.creation) {
        const char* name = CreationTimeName(kind);
        // The attribute must already be there to read: a file system that merely stores any
        // attribute of that name keeps no creation time in it.
        if (name && ::getxattr(path.c_str(), name, before.creation, sizeof before.creation) ==
                        sizeof before.creation) {
            before.creationName = name;
            if (const std::error_code error = SetCreationAttribute(path, name, *change.creation))
                return error;
        } else {
            creationNotKept = true;
        }
    }
    const AtPath at = AtPathOf(path);
    if (::utimensat(at.folder, at.name, ToTimes(change, st).slots, 0) != 0)
        return Errno();
    return {};
}

/// The guard of a change: the last-write time in `st`, the entry's status, is still `expected`.
[[nodiscard]] std::error_code CheckGuard(const std::string& path, const struct stat& st,
                                         FileTime expected) {
    struct statx_timestamp stamp {};
    stamp.tv_sec = st.st_mtim.tv_sec;
    stamp.tv_nsec = static_cast<std::uint32_t>(st.st_mtim.tv_nsec);
    FileTime stored = 0;
    if (!ToFileTime(stamp, stored))
        return std::make_error_code(std::errc::operation_canceled);
    return CheckLastWrite(path, stored, expected);
}

} // namespace

std::error_code SetFileTimes(const std::string& path, const FileTimeChange& change,
                             bool& creationNotKept) {
    // Never opened: on a FUSE volume the close of an open file is handled later, and could write
    // the file's old times back.
    struct stat st;
    const AtPath at = AtPathOf(path);
    if (::fstatat(at.folder, at.name, &st, 0) != 0)
        return Errno();
    if (ReadOnly(st))
        return std::make_error_code(std::errc::permission_denied);
    // The guard reads the very status the change starts from, through the same folder
    // descriptor: the entry is never opened, so no check could come closer to the change.
    if (change.ifLastWrite)
        if (const std::error_code error = CheckGuard(path, st, *change.ifLastWrite))
            return error;

    Before before;
    std::error_code error = Change(path, st, change, before, creationNotKept);
    if (!error)
        error = CheckStored(path, change);
    if (error)
        PutBack(path, before);
    return error;
}

} // namespace platform
