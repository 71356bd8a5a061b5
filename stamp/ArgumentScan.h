#pragma once

#include "stamp/SystemTime.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stamp {

/// The longest file mask: the platform's path buffer of 260 bytes, less the terminator.
inline constexpr std::size_t kMaxPath = 259;

/// What one run of Stamplet is asked to do.
struct StampRequest {
    std::string fileMask = "*.*";
    bool setCreationTime = false;
    bool setLastAccessTime = false;
    bool includeFolders = false;
    bool showHelp = false;
    bool showVersion = false; ///< Print the banner alone and stamp nothing.
    SystemTime newDateTime;   ///< Local; starts as the time the tool started.
    /// Local, from /IF: only entries whose last-write time is still this one are stamped.
    std::optional<SystemTime> ifLastWrite;
};

/// The first fault of a command line.
enum class ScanFault {
    None,
    InvalidSwitch, ///< Neither a known switch nor the file mask.
    DateMissing,   ///< /D or /IF is the last argument.
    BadDate,       ///< The date breaks MM-DD-YYYY.
    TimeMissing,   ///< /T, or /IF and its date, end the arguments.
    BadTime,       ///< The time breaks HH:MM:SS.
};

/// Which system's command-line rules a scan follows.
enum class ArgumentRules {
    /// The last argument is the mask unless it begins with "/"; every other argument but the
    /// values after /D, /T and /IF is a switch.
    Windows,
    /// The Windows rules, and: the last argument is the mask also as an absolute path (a "/" and
    /// a second "/" after it); "--" ends the switches; "--help" and "--version".
    Posix,
};

/// The rules of the system Stamplet is built for, where no path or every absolute one begins
/// with "/".
inline constexpr ArgumentRules kNativeArgumentRules =
#ifdef _WIN32
    ArgumentRules::Windows;
#else
    ArgumentRules::Posix;
#endif

/// The outcome of the argument scan.
struct ScanResult {
    ScanFault fault = ScanFault::None;
    StampRequest request; ///< Meaningful when there is no fault.
};

/// Scans the arguments after the program's own path. `now` is the local time at start, which
/// /D and /T change in part; /IF takes a date and a time of its own. A switch is the whole
/// argument compared without regard to case; the last argument is the file mask unless it begins
/// with "/" and, under the Posix rules, holds no second "/" (as no switch does); the values
/// after /D, /T or /IF are always taken as those values, with the faults of /D's date and /T's
/// time. Under the Posix rules every argument after "--" is no switch, so the last one is the
/// mask and any other an invalid switch; "--" with nothing after it makes the mask empty, so that
/// nothing matches; "--help", whole and in small letters, acts as /? does, and "--version" asks
/// for the banner alone. The first fault ends the scan.
ScanResult ScanArguments(const std::vector<std::string>& arguments, const SystemTime& now,
                         ArgumentRules rules = kNativeArgumentRules);

} // namespace stamp
