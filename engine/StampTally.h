#pragma once

#include "engine/ScriptRun.h"

#include <string_view>

namespace engine {

/// Counts one line of the stamp script's output into `outcome`: Stamplet's report of a changed
/// entry, of an entry it could not change (a call it refused as a whole, a mask naming a folder
/// included, counts so too), or of a mask that found nothing. Other lines are not counted.
/// Returns true for a counted line; in a stamp script each names one call, so the counted lines
/// measure the script's progress.
bool TallyStampOutputLine(std::string_view line, ScriptOutcome& outcome);

/// True for Stamplet's note that a file system cannot take a new creation time.
bool IsCreationNoteLine(std::string_view line);

/// True for the line the stamp script prints once all its stamp lines have run, the done text,
/// as either dialect prints it: UTF-8 from /bin/sh, the console's code page from cmd. Seen as the
/// last line of the output of a process that ended of itself, it tells that the script finished,
/// whatever the exit status of its last Stamplet call.
bool IsDoneLine(std::string_view line);

} // namespace engine
