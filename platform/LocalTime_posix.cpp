#include "platform/LocalTime.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

[[nodiscard]] std::error_code LocalTm(std::int64_t unixSeconds, std::tm& local) {
    // localtime_r need not read TZ again by itself; tzset makes a changed TZ count.
    ::tzset();
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    if (::localtime_r(&t, &local) == nullptr)
        return {errno ? errno : EOVERFLOW, std::generic_category()};
    return {};
}

} // namespace

std::int64_t UnixNowMilliseconds() {
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::int64_t UnixNow() {
    return std::chrono::floor<std::chrono::seconds>(
               std::chrono::milliseconds(UnixNowMilliseconds()))
        .count();
}

std::error_code UtcOffsetAt(std::int64_t unixSeconds, std::int32_t& secondsEast) {
    std::tm local{};
    if (const std::error_code error = LocalTm(unixSeconds, local))
        return error;
    secondsEast = static_cast<std::int32_t>(local.tm_gmtoff);
    return {};
}

std::error_code LocalCalendarAt(std::int64_t unixMilliseconds, CalendarFields& fields) {
    const std::int64_t seconds =
        std::chrono::floor<std::chrono::seconds>(std::chrono::milliseconds(unixMilliseconds))
            .count();
    std::tm local{};
    if (const std::error_code error = LocalTm(seconds, local))
        return error;
    fields.year = local.tm_year + 1900;
    fields.month = local.tm_mon + 1;
    fields.dayOfWeek = local.tm_wday;
    fields.day = local.tm_mday;
    fields.hour = local.tm_hour;
    fields.minute = local.tm_min;
    // A leap second shows as second 60; the file-time calendar has none.
    fields.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    fields.millisecond = static_cast<int>(unixMilliseconds - seconds * 1000);
    return {};
}

std::error_code UtcOffsetNow(std::int32_t& secondsEast) {
    return UtcOffsetAt(UnixNow(), secondsEast);
}

std::error_code LocalCalendarNow(CalendarFields& local) {
    return LocalCalendarAt(UnixNowMilliseconds(), local);
}

bool FixedOffsetEnvironment(std::int32_t secondsEast,
                            std::vector<std::pair<std::string, std::string>>& settings) {
    // A POSIX zone rule without daylight-saving time: "<+0300>-03:00:00" is three hours east.
    // Its offset counts west of UTC, so the sign turns round.
    const long east = secondsEast;
    const long magnitude = std::labs(east);
    const long hours = magnitude / 3600, minutes = magnitude / 60 % 60, seconds = magnitude % 60;
    char rule[64];
    std::snprintf(rule, sizeof rule, "<%c%02ld%02ld%02ld>%c%02ld:%02ld:%02ld", east < 0 ? '-' : '+',
                  hours, minutes, seconds, east < 0 ? '+' : '-', hours, minutes, seconds);
    settings.emplace_back("TZ", rule);
    return true;
}

} // namespace platform
