#include "engine/DateTime.h"

#include <chrono>
#include <cmath>

namespace engine {
namespace {

using namespace std::chrono;

constexpr sys_days kDayZero = sys_days(year(1899) / December / 30);

/// Whole days of `ms` milliseconds, rounded down also before day zero.
std::int64_t Days(std::int64_t ms) {
    return floor<days>(milliseconds(ms)).count();
}

} // namespace

TDateTime DateTimeFromMilliseconds(std::int64_t milliseconds) {
    const std::int64_t whole = Days(milliseconds);
    const double fraction =
        static_cast<double>(milliseconds - whole * kMillisecondsPerDay) / kMillisecondsPerDay;
    // The fraction always counts forward from midnight, also on days before day zero.
    return whole >= 0 ? static_cast<double>(whole) + fraction
                      : static_cast<double>(whole) - fraction;
}

std::int64_t MillisecondsFromDateTime(TDateTime value) {
    const double days = std::trunc(value);
    const double fraction = std::fabs(value - days);
    return static_cast<std::int64_t>(std::llround(days * static_cast<double>(kMillisecondsPerDay) +
                                                  fraction * kMillisecondsPerDay));
}

TDateTime EncodeDateTime(const CalendarTime& f) {
    const sys_days date = sys_days(year(f.year) / month(static_cast<unsigned>(f.month)) /
                                   day(static_cast<unsigned>(f.day)));
    const std::int64_t days = (date - kDayZero).count();
    const std::int64_t ms = ((f.hour * 60LL + f.minute) * 60 + f.second) * 1000 + f.millisecond;
    return DateTimeFromMilliseconds(days * kMillisecondsPerDay + ms);
}

CalendarTime DecodeDateTime(TDateTime value) {
    const std::int64_t total = MillisecondsFromDateTime(value);
    const std::int64_t whole = Days(total);
    std::int64_t ms = total - whole * kMillisecondsPerDay;

    const year_month_day date(kDayZero + sys_days::duration(whole));
    CalendarTime f;
    f.year = static_cast<int>(date.year());
    f.month = static_cast<int>(static_cast<unsigned>(date.month()));
    f.day = static_cast<int>(static_cast<unsigned>(date.day()));
    f.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    f.second = static_cast<int>(ms % 60);
    ms /= 60;
    f.minute = static_cast<int>(ms % 60);
    f.hour = static_cast<int>(ms / 60);
    return f;
}

} // namespace engine
