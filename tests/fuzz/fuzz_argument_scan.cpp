// Stamplet's argument scan and date/time syntax: the arguments are the input split at NUL bytes.

#include "stamp/ArgumentScan.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() || size == 0)
        arguments.push_back(current);

    stamp::SystemTime now;
    now.year = 2026;
    now.month = 12;
    now.day = 7;
    const stamp::ScanResult scan = stamp::ScanArguments(arguments, now);
    if (scan.fault != stamp::ScanFault::None)
        return 0;
    const stamp::StampRequest& request = scan.request;
    // Two digits a field: nothing can exceed 99, nor the year 9999.
    if (request.fileMask.size() > stamp::kMaxPath || request.newDateTime.month > 99 ||
        request.newDateTime.day > 99 || request.newDateTime.hour > 99 ||
        request.newDateTime.year > 9999)
        std::abort();
    platform::FileTime time = 0;
    if (stamp::SystemTimeToFileTime(request.newDateTime, time)) {
        stamp::SystemTime back;
        if (!stamp::FileTimeToSystemTime(time, back) || back.year != request.newDateTime.year ||
            back.month != request.newDateTime.month || back.day != request.newDateTime.day ||
            back.hour != request.newDateTime.hour || back.second != request.newDateTime.second)
            std::abort();
    }
    return 0;
}
