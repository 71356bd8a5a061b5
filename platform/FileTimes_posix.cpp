#include "platform/FileTimes.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace platform {
namespace {

/// ntfs-3g hands out the NTFS creation time under this name; the ntfs3 kernel driver reports it
/// as the statx birth time instead.
constexpr const char* kNtfsCreationAttribute = "system.ntfs_crtime";

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

bool ReadNtfsCreationTime(int fd, FileTime& out) {
    unsigned char raw[sizeof(FileTime)];
    if (fgetxattr(fd, kNtfsCreationAttribute, raw, sizeof raw) != sizeof raw)
        return false;
    std::memcpy(&out, raw, sizeof out);
    return true;
}

} // namespace

std::error_code GetFileTimes(const std::string& path, FileTimeSet& times) {
    // O_NONBLOCK keeps a FIFO that nobody writes from hanging the caller.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd)
        return {errno, std::generic_category()};

    struct statx st;
    const unsigned wanted = STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    if (::statx(fd.get(), "", AT_EMPTY_PATH, wanted, &st) != 0)
        return {errno, std::generic_category()};
    if (S_ISDIR(st.stx_mode))
        return std::make_error_code(std::errc::is_a_directory);

    FileTimeSet read;
    if (!ToFileTime(st.stx_atime, read.lastAccess) || !ToFileTime(st.stx_mtime, read.lastWrite))
        return std::make_error_code(std::errc::value_too_large);

    if (st.stx_mask & STATX_BTIME) {
        if (!ToFileTime(st.stx_btime, read.creation))
            return std::make_error_code(std::errc::value_too_large);
    } else if (!ReadNtfsCreationTime(fd.get(), read.creation)) {
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

} // namespace platform
