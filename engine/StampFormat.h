#pragma once

#include "engine/DateTime.h"

#include <string>

namespace engine {

/// The date of `value` as MM-DD-YYYY, the form Stamplet's /D takes (years 1 to 9999).
std::string FormatStampDate(TDateTime value);

/// The time of day of `value` as HH:MM:SS, the form Stamplet's /T takes. The milliseconds are
/// dropped, never rounded into the seconds.
std::string FormatStampTime(TDateTime value);

} // namespace engine
