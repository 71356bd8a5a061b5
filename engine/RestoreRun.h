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
    /// The targets that get their earlier times back, to the second.
    std::vector<StampItem> items;
    /// The others, left alone, each with the reason.
    std::vector<std::pair<std::string, TargetState>> leftAlone;
};

/// Which targets of `record` in the held list folder can be given their earlier times back: only
/// those that are still the same file and still carry the times the run set, and whose names and
/// times reach Stamplet as they are. `scriptName` is the stamp script's name in the folder; the
/// times are turned into local time with `secondsEast`.
RestorePlan PlanRestore(const RunRecord& record, const platform::HeldFolder& folder,
                        const StampScript& script, const std::string& scriptName,
                        std::int32_t secondsEast);

/// The restore behind "Palauta aiemmat ajat...": takes the latest run recorded for the list
/// folder (the same folder by identity) that was not restored yet, asks whether to give its
/// targets their earlier times back and runs a stamp script that does, as a time-copy run does:
/// written, shown, run in the console, judged by reading the targets back. The run then counts
/// as restored.
RunEnd RunRestore(TRunSurroundings& surroundings, const RunContext& context,
                  const std::string& listFolder, const RunRecords& records);

} // namespace engine
