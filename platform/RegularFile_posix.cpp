#include "platform/RegularFile.h"

#include "platform/UniqueFd_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

/// Reads the whole of `file`, but no more than `most` bytes. The buffer grows with what arrives,
/// starting from the size the file has now: a bound of many megabytes costs nothing for a small
/// file.
[[nodiscard]] std::error_code ReadUpTo(int file, std::size_t most, std::size_t sizeNow,
                                       std::string& bytes) {
    std::string read(std::min(most, std::max<std::size_t>(sizeNow + 1, 4096)), '\0');
    std::size_t got = 0;
    while (got < most) {
        if (got == read.size())
            read.resize(std::min(most, read.size() * 2));
        const ssize_t n = ::read(file, read.data() + got, read.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {errno, std::generic_category()};
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    read.resize(got);
    bytes = std::move(read);
    return {};
}

/// Opens `path` for reading without blocking and tells what it is.
UniqueFd OpenForReading(const std::string& path, int flags, struct stat& st,
                        std::error_code& error) {
    // Without O_NONBLOCK, opening a FIFO for reading would wait for a writer.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flags));
    if (!file || ::fstat(file.get(), &st) != 0) {
        error = {errno, std::generic_category()};
        return UniqueFd();
    }
    if (!S_ISREG(st.st_mode)) {
        error = std::make_error_code(std::errc::invalid_argument);
        return UniqueFd();
    }
    return file;
}

} // namespace

std::error_code ReadRegularFile(const std::string& path, std::size_t most, std::string& bytes) {
    struct stat st;
    std::error_code error;
    const UniqueFd file = OpenForReading(path, 0, st, error);
    return file ? ReadUpTo(file.get(), most, static_cast<std::size_t>(st.st_size), bytes) : error;
}

std::error_code ReadOwnFile(const std::string& path, std::size_t most, std::string& bytes) {
    return ReadOwnFileStart(path, most, most, bytes);
}

namespace {

/// Opens the regular file at `path`, not through a link, where it is the current user's own.
UniqueFd OpenOwnFile(const std::string& path, struct stat& st, std::error_code& error) {
    UniqueFd file = OpenForReading(path, O_NOFOLLOW, st, error);
    if (file && st.st_uid != ::geteuid()) {
        error = std::make_error_code(std::errc::operation_not_permitted);
        return UniqueFd();
    }
    return file;
}

} // namespace

std::error_code ReadOwnFileStart(const std::string& path, std::size_t most, std::size_t first,
                                 std::string& bytes) {
    struct stat st;
    std::error_code error;
    const UniqueFd file = OpenOwnFile(path, st, error);
    if (!file)
        return error;
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return std::make_error_code(std::errc::permission_denied);
    if (static_cast<std::uint64_t>(st.st_size) > most)
        return std::make_error_code(std::errc::file_too_large);
    return ReadUpTo(file.get(), std::min(most, first), static_cast<std::size_t>(st.st_size), bytes);
}

std::error_code RemoveOwnFile(const std::string& path) {
    struct stat st;
    std::error_code error;
    // Checked on what the name leads to now, and removed unless it was replaced meanwhile.
    const UniqueFd file = OpenOwnFile(path, st, error);
    if (!file)
        return error;
    struct stat now;
    if (::lstat(path.c_str(), &now) != 0)
        return {errno, std::generic_category()};
    if (now.st_dev != st.st_dev || now.st_ino != st.st_ino)
        return std::make_error_code(std::errc::operation_not_permitted);
    if (::unlink(path.c_str()) != 0)
        return {errno, std::generic_category()};
    return {};
}

} // namespace platform
