#include "platform/RegularFile.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

std::error_code ReadRegularFile(const std::string& path, std::size_t most, std::string& bytes) {
    // Without O_NONBLOCK, opening a FIFO for reading would wait for a writer.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file)
        return {errno, std::generic_category()};
    struct stat st;
    if (::fstat(file.get(), &st) != 0)
        return {errno, std::generic_category()};
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::invalid_argument);
    std::string read(most, '\0');
    std::size_t got = 0;
    while (got < most) {
        const ssize_t n = ::read(file.get(), read.data() + got, most - got);
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

} // namespace platform
