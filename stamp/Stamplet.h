#pragma once

#include "stamp/Clock.h"
#include "stamp/Console.h"

#include <string>
#include <vector>

namespace stamp {

/// The whole of Stamplet: reads the local time, scans `arguments` (those after the program's own
/// path), prints the banner and then the help text, nothing more, or the stamping's lines. Returns
/// the exit status.
int RunStamplet(const std::vector<std::string>& arguments, const StampClock& clock,
                Console& console);

} // namespace stamp
