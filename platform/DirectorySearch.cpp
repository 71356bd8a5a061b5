#include "platform/DirectorySearch.h"

// What every system shares; the search itself is each system's own.

namespace platform {

std::string_view FolderPartOf(std::string_view path) {
    const std::size_t last = path.find_last_of(FolderSeparators());
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    const std::string_view separators = FolderSeparators();
    if (!path.empty() && separators.find(path.back()) == std::string_view::npos)
        path += separators.front();
    return path.append(name);
}

} // namespace platform
