#pragma once

#include "engine/RunRecord.h"
#include "engine/StampScript.h"
#include "engine/TargetCheck.h"
#include "engine/TimeCopyRun.h"
#include "platform/HeldFolder.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace engine {

/// What a restore does with the targets of a recorded run.
struct RestorePlan {
    /// The targets that get their earlier times back, to the second, each only while it still
    /// carries the last-write time the run left.
    std::vector<StampItem> items;
    /// For each item, the place of its target in the record.
    std::vector<std::size_t> indices;
    /// The places of the targets the run never changed (it was stopped, or failed there): they
    /// still have their earlier times, to the nanosecond, and count as given back.
    std::vector<std::size_t> untouched;
    /// The others, left alone, each with the reason.
    std::vector<std::pair<std::string, TargetState>> leftAlone;
};

/// Which targets of `record`, each found where `places` hold its folder, can be given their earlier
/// times back: only those not restored yet that are still the same file and still carry the times
/// the run set, and whose names and times reach Stamplet as they are. `scriptName` is the stamp
/// script's name in the folder; the times are turned into local time with `secondsEast`.
RestorePlan PlanRestore(const RunRecord& record, TargetPlaces& places, const StampScript& script,
                        const std::string& scriptName, std::int32_t secondsEast);

/// The restore behind "Palauta aiemmat ajat...": offers the runs recorded for the list folder
/// (the same folder by identity) that still have targets to give back, newest first, each with
/// its date, folder and count, until the user takes one or closes the box; gives the targets of
/// the run taken their earlier times back with a stamp script, as a time-copy run does: written,
/// shown, run in the console, judged by reading the targets back. Only the targets read back
/// with their earlier times count as restored; a later restore tries the others again.
RunEnd RunRestore(TRunSurroundings& surroundings, const RunContext& context,
                  const std::string& listFolder, const RunRecords& records);

} // namespace engine
