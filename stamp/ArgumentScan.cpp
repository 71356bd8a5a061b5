#include "stamp/ArgumentScan.h"

#include "platform/AsciiCase.h"
#include "platform/DirectorySearch.h"
#include "stamp/DateTimeSyntax.h"

namespace stamp {
namespace {

bool IsSwitch(std::string_view argument, std::string_view name) {
    return argument.size() == name.size() + 1 && argument[0] == '/' &&
           platform::EqualsIgnoringAsciiCase(argument.substr(1), name);
}

using Parse = bool (*)(std::string_view, SystemTime&);

/// Reads the value after the argument at `i` into `time`, moving `i` onto it.
ScanFault ScanValue(const std::vector<std::string>& arguments, std::size_t& i, Parse parse,
                    SystemTime& time, ScanFault missing, ScanFault bad) {
    if (i + 1 == arguments.size())
        return missing;
    return parse(arguments[++i], time) ? ScanFault::None : bad;
}

/// The date and the time after /IF at `i`, moving `i` onto the time.
ScanFault ScanGuard(const std::vector<std::string>& arguments, std::size_t& i,
                    StampRequest& request) {
    SystemTime guard;
    ScanFault fault =
        ScanValue(arguments, i, ParseDate, guard, ScanFault::DateMissing, ScanFault::BadDate);
    if (fault == ScanFault::None)
        fault =
            ScanValue(arguments, i, ParseTime, guard, ScanFault::TimeMissing, ScanFault::BadTime);
    if (fault == ScanFault::None)
        request.ifLastWrite = guard;
    return fault;
}

/// Whether the last argument is the file mask rather than a switch.
bool IsLastTheMask(std::string_view argument, ArgumentRules rules, bool switchesEnded) {
    if (switchesEnded || argument.empty())
        return true;
    if (rules == ArgumentRules::Posix &&
        (argument == "--" || argument == "--help" || argument == "--version"))
        return false;
    if (argument[0] != '/')
        return true;
    // An absolute path has a second "/", which no switch has, so a mistyped switch stays a fault.
    return rules == ArgumentRules::Posix && argument.find('/', 1) != std::string_view::npos;
}

/// The switch at `i`, with its values, moving `i` onto the last of them.
ScanFault ScanSwitch(const std::vector<std::string>& arguments, std::size_t& i,
                     StampRequest& request) {
    const std::string& argument = arguments[i];
    if (IsSwitch(argument, "W")) {
        // The last-write time is set on every run anyway.
    } else if (IsSwitch(argument, "A")) {
        request.setLastAccessTime = true;
    } else if (IsSwitch(argument, "C")) {
        request.setCreationTime = true;
    } else if (IsSwitch(argument, "S")) {
        request.includeFolders = true;
    } else if (IsSwitch(argument, "?")) {
        request.showHelp = true;
    } else if (IsSwitch(argument, "D")) {
        return ScanValue(arguments, i, ParseDate, request.newDateTime, ScanFault::DateMissing,
                         ScanFault::BadDate);
    } else if (IsSwitch(argument, "T")) {
        return ScanValue(arguments, i, ParseTime, request.newDateTime, ScanFault::TimeMissing,
                         ScanFault::BadTime);
    } else if (IsSwitch(argument, "IF")) {
        return ScanGuard(arguments, i, request);
    } else {
        return ScanFault::InvalidSwitch;
    }
    return ScanFault::None;
}

} // namespace

ScanResult ScanArguments(const std::vector<std::string>& arguments, const SystemTime& now,
                         ArgumentRules rules) {
    ScanResult result;
    StampRequest& request = result.request;
    request.newDateTime = now;
    request.showHelp = arguments.empty();

    const bool posix = rules == ArgumentRules::Posix;
    bool switchesEnded = false;
    const std::size_t n = arguments.size();
    for (std::size_t i = 0; i < n && result.fault == ScanFault::None; ++i) {
        const std::string& argument = arguments[i];
        if (i == n - 1 && IsLastTheMask(argument, rules, switchesEnded)) {
            request.fileMask = std::string(platform::PathPrefix(argument, kMaxPath));
        } else if (switchesEnded) {
            result.fault = ScanFault::InvalidSwitch;
        } else if (posix && argument == "--") {
            switchesEnded = true;
            // A script's mask variable that came out empty leaves "--" last: the empty mask
            // matches nothing, as `-- ""` does, where "*.*" would stamp the whole folder.
            if (i == n - 1)
                request.fileMask.clear();
        } else if (posix && argument == "--help") {
            request.showHelp = true;
        } else if (posix && argument == "--version") {
            request.showVersion = true;
        } else {
            result.fault = ScanSwitch(arguments, i, request);
        }
    }
    return result;
}

} // namespace stamp
