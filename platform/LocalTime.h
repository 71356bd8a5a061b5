#pragma once

#include <cstdint>
#include <system_error>

namespace platform {

/// Seconds since 1970-01-01 00:00:00 UTC, now.
std::int64_t UnixNow();

/// The offset of local time from UTC, in seconds east of UTC, that the machine's time zone puts
/// in force at the instant `unixSeconds` (daylight-saving time included where it applies then).
std::error_code UtcOffsetAt(std::int64_t unixSeconds, std::int32_t& secondsEast);

} // namespace platform
