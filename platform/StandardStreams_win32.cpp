#include "platform/StandardStreams.h"

#include "platform/Win32_win32.h"

#include <algorithm>
#include <string>

namespace platform {
namespace {

bool WriteAll(DWORD which, std::string_view text) {
    const HANDLE stream = ::GetStdHandle(which);
    if (stream == INVALID_HANDLE_VALUE || !stream)
        return false;
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    std::string_view bytes = lines;
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(stream, bytes.data(), size, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

bool WriteStandardOutput(std::string_view bytes) {
    return WriteAll(STD_OUTPUT_HANDLE, bytes);
}

bool WriteStandardError(std::string_view bytes) {
    return WriteAll(STD_ERROR_HANDLE, bytes);
}

} // namespace platform
