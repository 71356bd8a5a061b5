#pragma once

// The steps every run of a stamp script shares, the time-copy run and the restore: holding the
// list folder, checking what the script relies on, writing it, what starts it, and the verdict
// once it has ended. Each step returns what it found; the one that owns the run shows it and
// acts on it.

#include "engine/Messages.h"
#include "engine/RunRecord.h"
#include "engine/StampScript.h"
#include "engine/TargetCheck.h"
#include "engine/Zone.h"
#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"
#include "platform/LocalTime.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace engine {

/// A box the user is shown: an information or an error raised by the platform (in its English
/// text), with details the user may open where not empty.
struct Box {
    enum class Kind { Information, Error };
    Kind kind = Kind::Information;
    std::string text;
    std::string details;

    static Box Information(std::string text) { return {Kind::Information, std::move(text), {}}; }
    static Box Error(std::string text) { return {Kind::Error, std::move(text), {}}; }
    bool operator==(const Box&) const = default;
};

/// How a started stamp script ended, and Stamplet's reports as its console counted them.
struct ScriptOutcome {
    bool finished = true; ///< The script ran to its end (it was not killed, its cd worked).
    /// Targets whose every Stamplet call reported "File ... date/time changed succesfully".
    unsigned changed = 0;
    /// Targets a call could not change: "Cannot change date/time of ..." reports, refused calls.
    unsigned cannotChange = 0;
    unsigned notFound = 0; ///< Targets whose last call reported "No files found.".
    bool stopped = false;  ///< The user stopped it between two target files.
    /// The targets, in script order, whose every Stamplet call has reported.
    std::size_t reached = 0;
};

/// What starting the script needs.
struct ScriptLaunch {
    /// The script as written, held open: what runs is this file, whatever its name leads to.
    const platform::HeldFile& script;
    /// The list folder as the run holds it: the script runs in this very folder.
    const platform::HeldFolder& folder;
    /// The number of Stamplet calls in the script, for showing progress.
    std::size_t stampCalls = 0;
    /// Some targets lie where no creation time can be kept; the script leaves their creation
    /// lines out, and the console says why.
    bool creationNotKept = false;
    /// Settings on top of the environment: they keep the zone offset the script's times were
    /// written with for every Stamplet call, whatever the clock does meanwhile.
    std::vector<std::pair<std::string, std::string>> environment;
    /// Said below the console's summary, where not empty.
    std::string note;
    /// The target folders the script reaches its targets through, to be passed to its process.
    std::vector<const platform::HeldFolder*> targetFolders;
    /// The Stamplet calls of each target, in script order: the console counts files by them.
    std::vector<std::size_t> callsPerTarget = {};
};

/// Where a run ended.
enum class RunEnd {
    Stopped,    ///< A check refused the run or the user said No; nothing written.
    Declined,   ///< The user declined the script written; it was deleted, nothing started.
    NotWritten, ///< The script could not be written; nothing started.
    NotStarted, ///< The script was written but was not started; it was deleted.
    Started,    ///< The script runs; the run finishes when it ends.
};

/// The fixed things a run needs.
struct RunContext {
    /// The folder of Stamplet, as the platform gives it, ending with a folder separator.
    std::string programFolder;
    /// The dialect of the script.
    const StampScript& script;
    /// The zone that turns the source times into local time.
    const Zone& zone = MachineZone();
    /// Where a time-copy run records what it changes before changing it; null for no record.
    const RunRecords* records = nullptr;
    /// How the script's processes are held to the run's offset: the system's way; a system
    /// without one (Windows) makes the run ask the zone again at the start.
    bool (*holdOffset)(std::int32_t secondsEast,
                       ScriptEnvironment& settings) = platform::FixedOffsetEnvironment;
};

/// What a restore marks once its script has ended: the targets read back with their earlier
/// times, in the record they came from.
struct RestoreMarks {
    const RunRecords* records = nullptr;
    std::string path;
    platform::ExactTime started;
    /// For each item of the run, the place of its target in the record.
    std::vector<std::size_t> indices;
    /// Targets the run never changed: given back whatever the script does.
    std::vector<std::size_t> untouched;
};

/// A run from the moment it holds the list folder until its script has been judged. A run
/// dropped before that deletes its script without a word.
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
    /// The settings the script's lines read, as written with it.
    ScriptEnvironment environment;
    /// A time-copy run's record of what it changes, where one was written, and where it is.
    RunRecord record;
    const RunRecords* records = nullptr;
    std::string recordPath;
    /// A restore's marks.
    std::optional<RestoreMarks> marks;
    /// True once nothing reads the script any more and it has been deleted or let go.
    bool finished = false;

    ScriptRun() = default;
    ~ScriptRun() { Finish(); }
    ScriptRun(const ScriptRun&) = delete;
    ScriptRun& operator=(const ScriptRun&) = delete;

    /// Deletes the script without a word, unless the run has already finished. True where
    /// there was one to delete.
    bool Finish();
    /// False once the list folder's path leads elsewhere than the folder held.
    bool FolderInPlace() const { return folder.Is(folder.Path()); }
};

/// A question asked before the run goes on.
struct Question {
    std::string text;
    bool operator==(const Question&) const = default;
};

/// A run holding `listFolder`, once what the script relies on is there: the list folder and the
/// program folder as the interpreter reads them, Stamplet in the program folder, and the zone's
/// offset now, which becomes the run's one offset. From here on the run works in this very
/// folder, whatever becomes of its path. The box that stops the run where a check fails or the
/// folder is gone.
std::variant<std::unique_ptr<ScriptRun>, Box> HoldListFolder(const RunContext& context,
                                                             const std::string& listFolder);

/// True when `target` names the script `scriptName` itself in the held list folder (as Stamplet
/// matches names), so that the script would replace the user's file and be stamped in its place.
bool NamesTheScript(const TargetPlaces& places, const std::string& scriptName,
                    const std::string& target);

/// What the script of `run` will do, one line per target, from the very items it is written from:
/// each target's name and new last-write time, marked where it is missing or already has that
/// time, then the targets the run leaves alone.
std::vector<messages::PairLine> PlanLines(const ScriptRun& run);

} // namespace engine
