#pragma once

#include "engine/RunChain.h"
#include "engine/RunRecord.h"
#include "engine/ScriptRun.h"
#include "engine/StampScript.h"
#include "engine/TargetCheck.h"
#include "platform/HeldFolder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
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

/// The restore behind "Palauta aiemmat ajat...": the runs recorded for the list folder (the same
/// folder by identity) that still have targets to give back are offered newest first, each with
/// its date, folder and count, until the user takes one or closes the box; the targets of the run
/// taken get their earlier times back with a stamp script, as a time-copy run does. Only the
/// targets read back with their earlier times count as restored; a later restore tries the others
/// again.
class RestoreChoice {
public:
    /// One step of the offers.
    struct Offer {
        enum class Kind {
            Ask,  ///< `text` asks whether to take this run back; No moves on where `earlier`.
            Tell, ///< `text` tells of a record that cannot be read; the next offer follows.
            End,  ///< `text` tells that no run has anything to give back.
        };
        Kind kind = Kind::End;
        std::string text;
        bool earlier = false; ///< An earlier run comes after this one.
    };

    /// Holds the list folder and finds the runs recorded for it; or the box that says why it
    /// cannot. Records that were refused are told by the first offer.
    static std::variant<RestoreChoice, Box>
    Open(const RunContext& context, const std::string& listFolder, const RunRecords& records);

    /// The next run that has something to give back, or the end.
    Offer Next();

    /// The run last offered, taken: ready to be written.
    PreparedRun Take();

private:
    RestoreChoice(const RunContext& context, const RunRecords& records,
                  std::unique_ptr<ScriptRun> run, RunRecords::Found found);

    /// Leaves alone the targets of `plan` that a later run offered before left as they are now,
    /// and counts this run's own among them for the runs before it.
    void LeaveLaterRunsAlone(const RunRecord& record, RestorePlan& plan);

    const RunContext& context_;
    const RunRecords& records_;
    std::unique_ptr<ScriptRun> run_;
    std::vector<RunRecords::Run> runs_;
    /// The records refused while the runs were found, told before the first offer.
    std::optional<Box> refused_;
    std::size_t next_ = 0;
    RunRecord record_;
    std::string path_;
    RestorePlan plan_;
    /// The targets (device and number) that the runs offered so far left as they are now.
    std::set<std::pair<std::uint64_t, std::uint64_t>> laterTargets_;
};

} // namespace engine
