#include "platform/RegularFile.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

/// Reads the whole of `file`, but no more than `most` bytes.
std::error_code ReadUpTo(int file, std::size_t most, std::string& bytes) {
    std::string read(most, '\0');
    std::size_t got = 0;
    while (got < most) {
        const ssize_t n = ::read(file, read.data() + got, most - got);
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
    return file ? ReadUpTo(file.get(), most, bytes) : error;
}

std::error_code ReadOwnFile(const std::string& path, std::size_t most, std::string& bytes) {
    struct stat st;
    std::error_code error;
    const UniqueFd file = OpenForReading(path, O_NOFOLLOW, st, error);
    if (!file)
        return error;
    if (st.st_uid != ::geteuid())
        return std::make_error_code(std::errc::operation_not_permitted);
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return std::make_error_code(std::errc::permission_denied);
    if (static_cast<std::uint64_t>(st.st_size) > most)
        return std::make_error_code(std::errc::file_too_large);
    return ReadUpTo(file.get(), most, bytes);
}

} // namespace platform
