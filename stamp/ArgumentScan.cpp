#include "stamp/ArgumentScan.h"

#include "platform/AsciiCase.h"
#include "platform/DirectorySearch.h"
#include "stamp/DateTimeSyntax.h"

namespace stamp {
namespace {

bool IsSwitch(std::string_view argument, char letter) {
    const char wanted[] = {'/', letter};
    return platform::EqualsIgnoringAsciiCase(argument, std::string_view(wanted, 2));
}

} // namespace

ScanResult ScanArguments(const std::vector<std::string>& arguments, const SystemTime& now) {
    ScanResult result;
    StampRequest& request = result.request;
    request.newDateTime = now;
    request.showHelp = arguments.empty();

    const std::size_t n = arguments.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& argument = arguments[i];
        if (i == n - 1 && (argument.empty() || argument[0] != '/')) {
            request.fileMask = std::string(platform::PathPrefix(argument, kMaxPath));
            continue;
        }
        if (IsSwitch(argument, 'W')) {
            // The last-write time is set on every run anyway.
        } else if (IsSwitch(argument, 'A')) {
            request.setLastAccessTime = true;
        } else if (IsSwitch(argument, 'C')) {
            request.setCreationTime = true;
        } else if (IsSwitch(argument, 'S')) {
            request.includeFolders = true;
        } else if (IsSwitch(argument, '?')) {
            request.showHelp = true;
        } else if (IsSwitch(argument, 'D') || IsSwitch(argument, 'T')) {
            const bool date = IsSwitch(argument, 'D');
            if (i == n - 1) {
                result.fault = date ? ScanFault::DateMissing : ScanFault::TimeMissing;
                return result;
            }
            const std::string& value = arguments[++i];
            if (date ? !ParseDate(value, request.newDateTime)
                     : !ParseTime(value, request.newDateTime)) {
                result.fault = date ? ScanFault::BadDate : ScanFault::BadTime;
                return result;
            }
        } else {
            result.fault = ScanFault::InvalidSwitch;
            return result;
        }
    }
    return result;
}

} // namespace stamp
