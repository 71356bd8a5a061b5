#include "platform/HeldFolder.h"

#include "platform/DirectorySearch.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

/// The folder's own entry among this process's descriptors: a path through it leads into the
/// folder the descriptor holds, wherever that folder stands now.
std::string DescriptorPath(std::intptr_t fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

HeldFolder::~HeldFolder() {
    if (handle_ != kNone)
        ::close(static_cast<int>(handle_));
}

std::error_code HeldFolder::Hold(const std::string& path) {
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {errno, std::generic_category()};
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return {error, std::generic_category()};
    }
    if (handle_ != kNone)
        ::close(static_cast<int>(handle_));
    handle_ = fd;
    path_ = path;
    // Without /proc the path is all there is.
    throughDescriptor_ = ::access(DescriptorPath(fd).c_str(), F_OK) == 0;
    device_ = st.st_dev;
    number_ = st.st_ino;
    return {};
}

std::string HeldFolder::Inside(std::string_view name) const {
    if (!throughDescriptor_)
        return name.empty() ? path_ : JoinPath(path_, name);
    return name.empty() ? DescriptorPath(handle_) : JoinPath(DescriptorPath(handle_), name);
}

bool HeldFolder::Is(const std::string& path) const {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_dev) == device_ &&
           static_cast<std::uint64_t>(st.st_ino) == number_;
}

std::string HeldFolder::WhereNow() const {
    char where[4096];
    const ssize_t n = ::readlink(DescriptorPath(handle_).c_str(), where, sizeof where);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof where)
        return path_;
    return std::string(where, static_cast<std::size_t>(n));
}

} // namespace platform
