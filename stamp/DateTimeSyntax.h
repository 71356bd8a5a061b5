#pragma once

#include "stamp/SystemTime.h"

#include <string_view>

namespace stamp {

/// Reads a /D value, MM-DD-YYYY, into the month, day and year of `time`. Only the first ten
/// characters count; each separator may be "-" or "/". The values are not range-checked here.
/// False, changing nothing, when the value breaks the pattern.
bool ParseDate(std::string_view value, SystemTime& time);

/// Reads a /T value, HH:MM:SS, into the hour, minute and second of `time` and sets its
/// millisecond to 0. Only the first eight characters count. False, changing nothing, when the
/// value breaks the pattern.
bool ParseTime(std::string_view value, SystemTime& time);

} // namespace stamp
