#include "platform/LocalTime.h"

#include "platform/FileTimes.h"
#include "platform/Win32_win32.h"

#include <chrono>

namespace platform {
namespace {

constexpr long long kTicksPerMillisecond = 10000;

FILETIME FromUnixMilliseconds(std::int64_t unixMilliseconds) {
    return ToFiletime(static_cast<unsigned long long>(static_cast<long long>(kUnixEpochFileTime) +
                                                      unixMilliseconds * kTicksPerMillisecond));
}

void CopyFields(const SYSTEMTIME& time, CalendarFields& fields) {
    fields.year = time.wYear;
    fields.month = time.wMonth;
    fields.dayOfWeek = time.wDayOfWeek;
    fields.day = time.wDay;
    fields.hour = time.wHour;
    fields.minute = time.wMinute;
    fields.second = time.wSecond;
    fields.millisecond = time.wMilliseconds;
}

/// Local minus UTC at `utc`, in seconds, by the zone's rules for that date.
[[nodiscard]] std::error_code OffsetAt(const FILETIME& utc, std::int32_t& secondsEast) {
    SYSTEMTIME utcFields, localFields;
    FILETIME local;
    if (!::FileTimeToSystemTime(&utc, &utcFields) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcFields, &localFields) ||
        !::SystemTimeToFileTime(&localFields, &local))
        return LastError();
    const long long difference =
        static_cast<long long>(Ticks(local)) - static_cast<long long>(Ticks(utc));
    secondsEast = static_cast<std::int32_t>(difference / 10000000LL);
    return {};
}

} // namespace

std::int64_t UnixNowMilliseconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<long long>(Ticks(now)) - static_cast<long long>(kUnixEpochFileTime)) /
           kTicksPerMillisecond;
}

std::int64_t UnixNow() {
    return std::chrono::floor<std::chrono::seconds>(
               std::chrono::milliseconds(UnixNowMilliseconds()))
        .count();
}

std::error_code UtcOffsetAt(std::int64_t unixSeconds, std::int32_t& secondsEast) {
    return OffsetAt(FromUnixMilliseconds(unixSeconds * 1000), secondsEast);
}

std::error_code LocalCalendarAt(std::int64_t unixMilliseconds, CalendarFields& local) {
    const FILETIME utc = FromUnixMilliseconds(unixMilliseconds);
    SYSTEMTIME utcFields, localFields;
    if (!::FileTimeToSystemTime(&utc, &utcFields) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcFields, &localFields))
        return LastError();
    CopyFields(localFields, local);
    return {};
}

std::error_code UtcOffsetNow(std::int32_t& secondsEast) {
    TIME_ZONE_INFORMATION zone;
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    if (kind == TIME_ZONE_ID_INVALID)
        return LastError();
    // Bias counts minutes west of UTC; daylight time adds its own bias while in force.
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT)
        bias += zone.DaylightBias;
    secondsEast = static_cast<std::int32_t>(-bias * 60);
    return {};
}

std::error_code LocalCalendarNow(CalendarFields& local) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CopyFields(now, local);
    return {};
}

bool FixedOffsetEnvironment(std::int32_t, std::vector<std::pair<std::string, std::string>>&) {
    return false;
}

} // namespace platform
