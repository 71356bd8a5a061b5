#include "platform/HeldFile.h"

#include "platform/DirectorySearch.h"
#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

[[nodiscard]] std::error_code Errno() {
    return {errno, std::generic_category()};
}

[[nodiscard]] std::error_code WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Errno();
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace

HeldFile::~HeldFile() {
    Close();
}

void HeldFile::Close() {
    if (handle_ != kNone)
        ::close(static_cast<int>(handle_));
    handle_ = kNone;
}

std::error_code HeldFile::Write(const std::string& path, std::string_view bytes, bool flushed) {
    Close();
    path_ = path;
    access_ = path;
    const std::string pattern = std::string(FolderPartOf(path)) + ".kronalo-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    // mkostemp creates the file exclusively and with mode 0600.
    UniqueFd written(::mkostemp(name.data(), O_CLOEXEC));
    if (!written)
        return Errno();
    const auto fail = [&](std::error_code error) {
        ::unlink(name.data());
        return error;
    };
    if (const std::error_code error = WriteAll(written.get(), bytes))
        return fail(error);
    if (flushed && ::fsync(written.get()) != 0)
        return fail(Errno());
    // What is held is opened for reading only: nothing that inherits it can change the script.
    const std::string self = "/proc/self/fd/" + std::to_string(written.get());
    UniqueFd reading(::open(self.c_str(), O_RDONLY | O_CLOEXEC));
    if (!reading)
        return fail(Errno());
    struct stat st;
    if (::fstat(reading.get(), &st) != 0 || ::close(written.release()) != 0)
        return fail(Errno());
    if (::rename(name.data(), path.c_str()) != 0)
        return fail(Errno());
    device_ = st.st_dev;
    number_ = st.st_ino;
    handle_ = reading.release();
    return {};
}

std::error_code HeldFile::Remove() {
    if (handle_ == kNone)
        return {};
    Close();
    struct stat st;
    if (::lstat(access_.c_str(), &st) != 0)
        return errno == ENOENT ? std::error_code() : Errno();
    if (st.st_dev != device_ || st.st_ino != number_)
        return {};
    if (::unlink(access_.c_str()) != 0 && errno != ENOENT)
        return Errno();
    return {};
}

} // namespace platform
