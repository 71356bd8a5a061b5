#pragma once

#include "stamp/ArgumentScan.h"
#include "stamp/Clock.h"
#include "stamp/Console.h"

namespace stamp {

/// Turns the request's local date/time into one UTC file time, announces it, and sets the chosen
/// times of every entry that matches the file mask and is not skipped, reporting each on a line.
/// The last-write time is set on every run. With /IF, an entry whose last-write time is not the
/// guard's (turned into UTC by the same offset) is left as it is and reported as not changed.
/// Returns the exit status: 1 when nothing matches or a date/time is no valid calendar time, 0
/// otherwise, however many entries failed.
int StampEntries(const StampRequest& request, const StampClock& clock, Console& console);

} // namespace stamp
