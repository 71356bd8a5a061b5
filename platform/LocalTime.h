#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

/// Calendar fields of a moment, as the system's clock and zone give them.
struct CalendarFields {
    int year = 0;
    int month = 0;     ///< 1 to 12.
    int dayOfWeek = 0; ///< 0 is Sunday.
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

/// Milliseconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t UnixNowMilliseconds();

/// Seconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t UnixNow();

/// The offset of local time from UTC, in seconds east of UTC, that the machine's time zone puts
/// in force at the instant `unixSeconds` (daylight-saving time included where it applies then).
[[nodiscard]] std::error_code UtcOffsetAt(std::int64_t unixSeconds, std::int32_t& secondsEast);

/// The local calendar time of the instant `unixMilliseconds`, by the zone's rules for that
/// instant.
[[nodiscard]] std::error_code LocalCalendarAt(std::int64_t unixMilliseconds, CalendarFields& local);

/// The offset of local time from UTC in force now, in seconds east of UTC.
[[nodiscard]] std::error_code UtcOffsetNow(std::int32_t& secondsEast);

/// The local calendar time now, with milliseconds.
[[nodiscard]] std::error_code LocalCalendarNow(CalendarFields& local);

/// The environment settings that make a process's local time keep the offset `secondsEast` from
/// UTC, whatever the zone's rules do while it runs. False where the system has no such setting
/// (Windows asks the machine's zone, never the environment).
bool FixedOffsetEnvironment(std::int32_t secondsEast,
                            std::vector<std::pair<std::string, std::string>>& settings);

} // namespace platform
