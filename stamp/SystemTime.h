#pragma once

#include "platform/FileTimes.h"

#include <cstdint>

namespace stamp {

/// A calendar time as Stamplet keeps the new date/time: each field an unsigned 16-bit number.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0; ///< Kept as read at start; plays no part in the conversions.
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;
};

/// The file time of the calendar fields taken as they are, no zone applied. False when the fields
/// do not form a valid calendar time between the years 1601 and 30827.
bool SystemTimeToFileTime(const SystemTime& fields, platform::FileTime& time);

/// The calendar fields of a file time. False for a time beyond the year 30827.
bool FileTimeToSystemTime(platform::FileTime time, SystemTime& fields);

/// A local file time turned into UTC with `secondsEast`, the offset in force at the moment of the
/// run, whatever the date. False when the result falls outside the file-time range.
bool LocalFileTimeToFileTime(platform::FileTime local, std::int32_t secondsEast,
                             platform::FileTime& utc);

} // namespace stamp
