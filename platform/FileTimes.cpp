#include "platform/FileTimes.h"

namespace platform {

std::error_code CheckLastWrite(const std::string& path, FileTime stored, FileTime expected) {
    // Only a gap of a second or more needs to know how finely the file system keeps times.
    if (KeptAs(stored, expected, kFileTimeTicksPerSecond))
        return {};
    TimeKeeping keeping;
    if (const std::error_code error = TimeKeepingOf(path, keeping))
        return error;
    if (KeptAs(stored, expected, keeping.lastWriteStep))
        return {};
    return std::make_error_code(std::errc::operation_canceled);
}

} // namespace platform
