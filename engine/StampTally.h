#pragma once

#include "engine/ScriptRun.h"

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

/// Counts one line of the stamp script's output into `outcome`: Stamplet's report of a changed
/// entry, of an entry it could not change (a call it refused as a whole, a mask naming a folder
/// included, counts so too), or of a mask that found nothing. Other lines are not counted.
/// Returns true for a counted line; in a stamp script each names one call, so the counted lines
/// measure the script's progress.
bool TallyStampOutputLine(std::string_view line, ScriptOutcome& outcome);

/// Counts a stamp script's output by target file rather than by Stamplet call. Each counted line
/// (TallyStampOutputLine) ends one call, the calls come in script order, and a target counts once
/// its last call has reported: as not found where that call found nothing, as changed where every
/// call of it changed it, and as not changed otherwise.
class TargetTally {
public:
    /// For a script whose targets take `callsPerTarget` calls each, in order; past them, or where
    /// none are given, each call counts as a target of its own.
    explicit TargetTally(std::vector<std::size_t> callsPerTarget = {})
        : callsPerTarget_(std::move(callsPerTarget)) {}

    /// Counts one line of the script's output; true where it ends a call.
    bool Take(std::string_view line);

    /// The targets counted so far, with `reached`; `finished` and `stopped` as by default.
    const ScriptOutcome& Outcome() const { return outcome_; }

private:
    std::vector<std::size_t> callsPerTarget_;
    ScriptOutcome outcome_;
    /// The reports of the calls of the target in progress.
    ScriptOutcome target_;
    std::size_t calls_ = 0;
};

/// True for Stamplet's note that a file system cannot take a new creation time.
bool IsCreationNoteLine(std::string_view line);

/// True for the line the stamp script prints once all its stamp lines have run, the done text,
/// as either dialect prints it: UTF-8 from /bin/sh, the console's code page from cmd. Seen as the
/// last line of the output of a process that ended of itself, it tells that the script finished,
/// whatever the exit status of its last Stamplet call.
bool IsDoneLine(std::string_view line);

} // namespace engine
