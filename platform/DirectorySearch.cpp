#include "platform/DirectorySearch.h"

// What every system shares; the search itself is each system's own.

namespace platform {

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    const std::string_view separators = FolderSeparators();
    if (!path.empty() && separators.find(path.back()) == std::string_view::npos)
        path += separators.front();
    return path.append(name);
}

} // namespace platform
