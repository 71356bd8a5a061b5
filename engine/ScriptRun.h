#pragma once

// The steps every run of a stamp script shares, the time-copy run and the restore: holding the
// list folder, checking what the script relies on, writing, starting and judging it.

#include "engine/Messages.h"
#include "engine/TargetCheck.h"
#include "engine/TimeCopyRun.h"
#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace engine {

/// A run from the moment it holds the list folder, kept by the script's end once the script is
/// started. Where that end never comes (the window went first), the script, which has ended by
/// then, is deleted without a word.
struct ScriptRun {
    platform::HeldFolder folder;
    /// The folders of the targets, each held from the moment a target in it is named.
    TargetPlaces places{folder};
    std::string scriptName;
    platform::HeldFile file;
    /// The targets the script stamps, with the times they are to get.
    std::vector<StampItem> items;
    std::int32_t secondsEast = 0; ///< The one offset of the whole run.
    /// Targets the run leaves alone, named in the final box with the reason.
    std::vector<std::pair<std::string, TargetState>> leftAlone;
    /// Said below the console's summary and the final box.
    std::string note;
    /// Runs once the script has ended and the final box has been shown, with what was read back.
    std::function<void(TRunSurroundings&, const TargetReport&)> afterEnd;
    bool finished = false;

    ScriptRun() { Unfinished().insert(this); }
    ~ScriptRun() {
        Unfinished().erase(this);
        Finish();
    }
    ScriptRun(const ScriptRun&) = delete;
    ScriptRun& operator=(const ScriptRun&) = delete;

    /// Every run of this process that has not finished, for its end.
    static std::set<ScriptRun*>& Unfinished();
    /// Deletes the script without a word, unless the run has already finished.
    void Finish();
    /// False once the list folder's path leads elsewhere than the folder held.
    bool FolderInPlace() const { return folder.Is(folder.Path()); }
};

/// What the script relies on: the list folder and the program folder as the interpreter reads
/// them, Stamplet in the program folder, and the zone's offset now, which becomes the run's one
/// offset. False once the message that ends the run has been shown.
bool CheckScriptNeeds(TRunSurroundings& surroundings, const RunContext& context,
                      const std::string& listFolder, std::int32_t& secondsEast);

/// A run holding `listFolder`: from here on it works in this very folder, whatever becomes of its
/// path. Nothing once the message that the folder is gone has been shown.
std::shared_ptr<ScriptRun> HoldListFolder(TRunSurroundings& surroundings, const RunContext& context,
                                          const std::string& listFolder, std::int32_t secondsEast);

/// True when `target` names the script `scriptName` itself in the held list folder (as Stamplet
/// matches names), so that the script would replace the user's file and be stamped in its place.
bool NamesTheScript(const TargetPlaces& places, const std::string& scriptName,
                    const std::string& target);

/// What the script of `run` will do, one line per target, from the very items it is written from:
/// each target's name and new last-write time, marked where it is missing or already has that
/// time, then the targets the run leaves alone.
std::vector<messages::PairLine> PlanLines(const ScriptRun& run);

/// Writes the script of `run`'s items, tells the user and starts it; once it has ended, beeps,
/// judges every target as it now is, shows the final box and deletes the script.
RunEnd WriteAndStart(TRunSurroundings& surroundings, const RunContext& context,
                     std::shared_ptr<ScriptRun> run);

} // namespace engine
