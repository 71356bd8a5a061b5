#include "platform/MountTable_posix.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

/// The next blank-separated field of `line`, taken off its front.
std::string_view NextField(std::string_view& line) {
    const std::size_t start = std::min(line.find_first_not_of(' '), line.size());
    const std::size_t end = std::min(line.find(' ', start), line.size());
    const std::string_view field = line.substr(start, end - start);
    line.remove_prefix(end);
    return field;
}

} // namespace

std::string ReadMountTable() {
    std::string table;
    const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[16384];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        table.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return table;
}

bool NextMountLine(std::string_view& table, std::string_view& line) {
    if (table.empty())
        return false;
    const std::size_t end = std::min(table.find('\n'), table.size());
    line = table.substr(0, end);
    table.remove_prefix(std::min(end + 1, table.size()));
    return true;
}

bool ParseMountLine(std::string_view line, MountEntry& entry) {
    // Fields: id parent major:minor root point options [optional...] - type source options
    entry = MountEntry{};
    NextField(line);
    NextField(line);
    entry.device = NextField(line);
    NextField(line);
    entry.point = NextField(line);
    if (entry.point.empty())
        return false;
    for (std::string_view field; !(field = NextField(line)).empty();)
        if (field == "-") {
            entry.type = NextField(line);
            entry.source = NextField(line);
            break;
        }
    return true;
}

} // namespace platform
