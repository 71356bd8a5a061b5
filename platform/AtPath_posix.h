#pragma once

// Internal to the POSIX implementation files of this folder.

#include <fcntl.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

/// A path as a folder's descriptor and a name under it, for the *at calls.
struct AtPath {
    int folder = AT_FDCWD;
    const char* name = nullptr;
};

/// A path inside a held folder ("/proc/self/fd/N/name", as HeldFolder::Inside writes it) as the
/// folder's descriptor and the name: the call reaches the same entry without the walk through
/// /proc, which costs more than the call itself. Any other path stays as it is.
inline AtPath AtPathOf(const std::string& path) {
    constexpr std::string_view kPrefix = "/proc/self/fd/";
    if (!std::string_view(path).starts_with(kPrefix))
        return {AT_FDCWD, path.c_str()};
    std::size_t at = kPrefix.size();
    int fd = 0;
    for (; at < path.size() && path[at] >= '0' && path[at] <= '9' && fd < 1000000; ++at)
        fd = fd * 10 + (path[at] - '0');
    if (at == kPrefix.size())
        return {AT_FDCWD, path.c_str()};
    if (at == path.size())
        return {fd, "."};
    if (path[at] != '/' || at + 1 == path.size())
        return {AT_FDCWD, path.c_str()};
    return {fd, path.c_str() + at + 1};
}

} // namespace platform
