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

/// What preparing a run gives: the run ready to be written, the box that stops it (nothing has
/// been written then), or a question to ask first.
using Prepared = std::variant<std::unique_ptr<ScriptRun>, Box, Question>;

/// What the script relies on: the list folder and the program folder as the interpreter reads
/// them, Stamplet in the program folder, and the zone's offset now, which becomes the run's one
/// offset. The box that stops the run where one fails.
std::optional<Box> CheckScriptNeeds(const RunContext& context, const std::string& listFolder,
                                    std::int32_t& secondsEast);

/// A run holding `listFolder`: from here on it works in this very folder, whatever becomes of its
/// path. The box that says the folder is gone where it cannot be held.
std::variant<std::unique_ptr<ScriptRun>, Box>
HoldListFolder(const RunContext& context, const std::string& listFolder, std::int32_t secondsEast);

/// True when `target` names the script `scriptName` itself in the held list folder (as Stamplet
/// matches names), so that the script would replace the user's file and be stamped in its place.
bool NamesTheScript(const TargetPlaces& places, const std::string& scriptName,
                    const std::string& target);

/// What the script of `run` will do, one line per target, from the very items it is written from:
/// each target's name and new last-write time, marked where it is missing or already has that
/// time, then the targets the run leaves alone.
std::vector<messages::PairLine> PlanLines(const ScriptRun& run);

/// Writes the script of `run`'s items into its held folder and holds it. The box that tells the
/// user it was written, with the details of every pair; or, where it could not be written, the
/// error box, and the run is over (`run.finished`).
Box WriteScript(ScriptRun& run, const RunContext& context);

/// What starts the written script now, checked at this moment: the list folder and every target
/// folder still where they were, the zone's offset still the run's. Otherwise the box that says
/// why it must not start; the script is to be deleted then.
std::variant<ScriptLaunch, Box> LaunchOf(const ScriptRun& run, const RunContext& context);

/// The record counts once its run has started; a run that never did changed nothing, and its
/// record must not stand before an earlier run's. The error box where the record could not be
/// marked or removed; nothing where the run has no record.
std::optional<Box> SettleRecord(ScriptRun& run, bool started);

/// The judgement of a script that has ended: the final box's text, read from the targets as they
/// now are, and the boxes that follow it (a restore whose marks could not be written).
struct Verdict {
    std::string text;
    std::vector<Box> after;
};

/// Judges `run` once its script has ended with `outcome`; a restore marks the targets read back
/// with their earlier times. Nothing reads the script any more afterwards.
Verdict Judge(ScriptRun& run, const ScriptOutcome& outcome);

/// Deletes the script where it is (a moved folder's is named where it is now), and no other file.
/// The box that names it where it could not be deleted.
std::optional<Box> DeleteScript(ScriptRun& run);

} // namespace engine
