#pragma once

// Every text Stamplet prints, in one place. Format texts take printf arguments.

#include <string>
#include <string_view>

namespace stamp::text {

/// The banner, printed once the command line has been scanned without a fault.
inline constexpr const char* kBanner = "\n"
                                       "Stamplet verion 1.00\n"
                                       "Copyright (c) 2026 the Kronalo developers.\n"
                                       "\n";

inline constexpr const char* kHelp =
    "Usage: Stamplet [/?] [/W] [/A] [/C] [/S] [/D date] [/T time] filemask\n"
    "\n"
    "Switches:\n"
    "? -- Print this help.\n"
    "W -- Change file modification date (Write date). This is the default.\n"
    "A -- Change file last access date (Access date).\n"
    "C -- Change file creation date (Create date).\n"
    "S -- Touch subfolders. By default only files are are touched.\n"
    "D -- New file date. This switch must be followed by a date in mm-dd-yyyy\n"
    "     format. If /D switch is not specified the current system date is used.\n"
    "T -- New file time. This switch must be followed by a time in hh:mm:ss\n"
    "     24-hour time format. If /T switch is not specified the current system\n"
    "     time is used.\n"
    "filemask -- The file mask to be used for the file search. Example: *.txt.\n"
    "\n";

inline constexpr const char* kInvalidSwitch =
    "Invalid command line switch. Run Stamplet /? for help.\n";
inline constexpr const char* kDateMissing = "/D switch must be followed by the new date\n\n";
inline constexpr const char* kBadDate = "Invalid date format. Date must be in MM-DD-YYYY format.\n";
inline constexpr const char* kTimeMissing = "/T switch must be followed by the new time\n\n";
inline constexpr const char* kBadTime = "Invalid time format. Time must be in HH:MM:SS format.\n";

/// The new date and time do not form a valid calendar time.
inline constexpr const char* kInvalidDateTime = "Invalid date or time.\n";

/// The system's clock or time zone cannot be read; nothing is stamped.
inline constexpr const char* kNoClock = "Cannot read the current date and time.\n";
inline constexpr const char* kNoZone = "Cannot read the time zone.\n";

/// Day, month, year, hour, minute, second.
inline constexpr const char* kAnnouncement =
    "New file date/time will be %02d/%02d/%d  %02d:%02d:%02d\n";

inline constexpr const char* kNoFilesFound = "No files found.\n";
/// The mask names a folder, and /S is not given.
inline constexpr const char* kFolderWithoutS = "%s is a folder: use /S to stamp folders.\n";
inline constexpr const char* kChanged = "File %s date/time changed succesfully\n";
inline constexpr const char* kCannotChange = "Cannot change date/time of %s -- file ignored\n";

/// On standard error, once per run, where a creation time could not be kept.
inline constexpr const char* kCreationNotKept =
    "Stamplet: the file system of %s cannot take a new creation time; creation times were left "
    "unchanged.\n";

/// `text` with `value` in place of its first "%s", or `text` as it is where it has none: no format
/// is parsed, so a value with "%" in it stands as it is, and a line made for every entry a mask
/// finds costs little.
inline std::string Filled(std::string_view text, std::string_view value) {
    const std::size_t at = text.find("%s");
    if (at == std::string_view::npos)
        return std::string(text);
    std::string filled;
    filled.reserve(text.size() + value.size());
    filled.append(text.substr(0, at)).append(value).append(text.substr(at + 2));
    return filled;
}

} // namespace stamp::text
