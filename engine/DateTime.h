#pragma once

#include <cstdint>

namespace engine {

/// A date-time value: days since 1899-12-30 as the whole part and the time of day as the
/// fraction. Before that day the whole part is negative while the fraction still counts forward
/// from midnight, so -1.25 is 1899-12-29 06:00.
using TDateTime = double;

/// Calendar fields of a date-time value.
struct CalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

/// Milliseconds in one day.
inline constexpr std::int64_t kMillisecondsPerDay = 86400000;

/// Milliseconds from 1601-01-01 00:00, where file times start, to day zero (1899-12-30).
inline constexpr std::int64_t kFileTimeToDayZeroMilliseconds = 109205 * kMillisecondsPerDay;

/// The date-time value of an instant given as milliseconds since 1899-12-30 00:00.
TDateTime DateTimeFromMilliseconds(std::int64_t milliseconds);

/// The instant of a date-time value as milliseconds since 1899-12-30 00:00, brought to the
/// nearest whole millisecond.
std::int64_t MillisecondsFromDateTime(TDateTime value);

/// The date-time value of calendar fields (years 1 to 9999; the fields are not range-checked).
TDateTime EncodeDateTime(const CalendarTime& fields);

/// The calendar fields of a date-time value, brought to the nearest whole millisecond first, so
/// that 23:59:59.9996 is midnight of the next day.
CalendarTime DecodeDateTime(TDateTime value);

} // namespace engine
