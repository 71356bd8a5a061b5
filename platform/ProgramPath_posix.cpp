#include "platform/ProgramPath.h"

#include "platform/DirectorySearch.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace platform {

std::error_code ExecutableFolder(std::string& folder) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {errno, std::generic_category()};
        if (static_cast<std::size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(n));
            folder = FolderPartOf(path);
            return {};
        }
        // The link may have been cut; read again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
