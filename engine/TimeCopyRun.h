#pragma once

#include "engine/StampScript.h"
#include "engine/Zone.h"
#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace engine {

class RunRecords;

/// The file list as the run reads it.
struct ListState {
    /// The list folder: a full path, as the system's file calls take it.
    std::string folder;
    /// The item names, without folder, in list order.
    std::vector<std::string> items;
    /// One selection flag per item.
    std::vector<bool> selected;
};

/// The texts of the window's fields that the run uses.
struct FieldTexts {
    std::string targetPattern; ///< Used untrimmed.
    std::string filter;        ///< Shown in one message only.
};

/// What the run button hands the run: the list and the fields as they stand.
struct RunRequest {
    ListState list;
    FieldTexts fields;
};

/// The answer to a yes-or-no question.
enum class Answer { Yes, No, Closed };

/// How a started stamp script ended, and Stamplet's reports as its console counted them.
struct ScriptOutcome {
    bool finished = true;      ///< The script ran to its end (it was not killed, its cd worked).
    unsigned changed = 0;      ///< "File ... date/time changed succesfully" reports.
    unsigned cannotChange = 0; ///< "Cannot change date/time of ..." reports and refused calls.
    unsigned notFound = 0;     ///< "No files found." reports.
    bool stopped = false;      ///< The user stopped it between two Stamplet calls.
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
};

/// What the run needs of its surroundings: the window, the user and the disk.
class TRunSurroundings {
public:
    virtual ~TRunSurroundings() = default;

    /// Shows an information box and returns once the user has dismissed it.
    virtual void ShowInformation(const std::string& text) = 0;
    /// As ShowInformation, with `details` the user may open in the box. By default without them.
    virtual void ShowWithDetails(const std::string& text, const std::string& details) {
        (void)details;
        ShowInformation(text);
    }
    /// Shows an error raised by the platform, in its English text.
    virtual void ShowError(const std::string& text) = 0;
    /// Asks a yes-or-no question in a modal box.
    virtual Answer AskYesNo(const std::string& question) = 0;
    /// Selects every item of the file list where the user sees it.
    virtual void SelectAll() = 0;

    /// Writes the script with `bytes` as `name` in the held list folder, known to the user as
    /// `path`, and holds it in `file`. By default on the disk.
    [[nodiscard]] virtual std::error_code
    WriteScript(platform::HeldFile& file, const platform::HeldFolder& folder,
                const std::string& name, const std::string& path, std::string_view bytes);

    /// Starts the script as a process of its own in a visible console and returns at once.
    /// Once the process has ended, `ended` must be called with its outcome, exactly once; where
    /// the surroundings go away first, they wait for the process and drop `ended` uncalled.
    /// Returns false, without calling `ended`, when the script cannot be started at all.
    virtual bool StartScript(const ScriptLaunch& launch,
                             std::function<void(const ScriptOutcome&)> ended) = 0;

    /// The platform's default sound.
    virtual void Beep() = 0;

    /// Deletes the script file written, and no other. By default on the disk.
    [[nodiscard]] virtual std::error_code DeleteScript(platform::HeldFile& file);
};

/// Where a run ended.
enum class RunEnd {
    Stopped,    ///< A check refused the run or the user said No; nothing written.
    NotWritten, ///< The script could not be written; nothing started.
    NotStarted, ///< The script was written but was not started; it was deleted.
    Started,    ///< The script runs; the run finishes when it ends.
};

/// The fixed things a run needs besides its surroundings.
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

/// The time-copy run behind the run button: checks the pattern, the list and the selection,
/// holds the list folder, reads each selected source's times, writes the stamp script into the
/// folder and starts it there. Once the script has ended, it beeps, reads every target's times
/// back, tells the user how it went and deletes the script. Every check that fails ends the run
/// with its message before anything is written or started. All of it happens in the folder held
/// at the start, whatever becomes of its path; a folder moved or replaced meanwhile is reported.
RunEnd RunTimeCopy(TRunSurroundings& surroundings, const RunContext& context, RunRequest request);

/// Deletes the script of every run that has not finished, each by its identity where it now is:
/// for a process that ends before its runs could, once no script runs any more. Returns how many
/// runs it finished.
std::size_t RemoveUnfinishedScripts();

} // namespace engine
