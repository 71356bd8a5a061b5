#include "platform/HeldFile.h"

// What every system shares; writing and removing are each system's own.

namespace platform {

std::error_code HeldFile::Write(const HeldFolder& folder, const std::string& name,
                                const std::string& path, std::string_view bytes) {
    const std::error_code error = Write(folder.Inside(name), bytes);
    path_ = path;
    return error;
}

} // namespace platform
