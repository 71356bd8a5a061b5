#include "platform/AtomicFile.h"

#include "platform/UniqueFd_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                      WriteStage& stage) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string pattern = folder + ".kronalo-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    stage = WriteStage::Create;
    // mkstemp creates the file exclusively and with mode 0600.
    UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd)
        return {errno, std::generic_category()};

    stage = WriteStage::Write;
    auto fail = [&](int error) {
        ::unlink(name.data());
        return std::error_code(error, std::generic_category());
    };
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(name.data(), path.c_str()) != 0)
        return fail(errno);
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0)
        return {errno, std::generic_category()};
    return {};
}

} // namespace platform
