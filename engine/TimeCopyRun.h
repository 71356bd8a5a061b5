#pragma once

#include "engine/StampScript.h"
#include "engine/Zone.h"
#include "platform/AtomicFile.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace engine {

/// The file list as the run reads it.
struct ListState {
    /// The list folder: a full path, also the process's current directory.
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

/// The answer to a yes-or-no question.
enum class Answer { Yes, No, Closed };

/// How a started stamp script ended, as its console counted Stamplet's reports.
struct ScriptOutcome {
    bool finished = true;      ///< The script ran to its end (it was not killed).
    unsigned changed = 0;      ///< Entries whose times were changed.
    unsigned cannotChange = 0; ///< "Cannot change date/time of ..." reports.
    unsigned notFound = 0;     ///< "No files found." reports.
};

/// What the run needs of its surroundings: the window, the user and the disk.
class TRunSurroundings {
public:
    virtual ~TRunSurroundings() = default;

    /// Shows an information box and returns once the user has dismissed it.
    virtual void ShowInformation(const std::string& text) = 0;
    /// Shows an error raised by the platform, in its English text.
    virtual void ShowError(const std::string& text) = 0;
    /// Asks a yes-or-no question in a modal box.
    virtual Answer AskYesNo(const std::string& question) = 0;
    /// Selects every item of the file list where the user sees it.
    virtual void SelectAll() = 0;
    /// The list folder, the items and their selection.
    virtual ListState ReadList() = 0;
    /// The target pattern and the filter.
    virtual FieldTexts ReadFields() = 0;

    /// Creates or replaces the script file with `bytes`. By default on the disk, atomically.
    virtual std::error_code WriteScript(const std::string& path, std::string_view bytes,
                                        platform::WriteStage& stage);

    /// Starts the script as a process of its own in a visible console, with `listFolder` as its
    /// working folder, and returns at once. `stampCalls` is the number of Stamplet calls in it.
    /// Once the process has ended, `ended` must be called with its outcome, exactly once. Returns
    /// false, without calling `ended`, when the script cannot be started at all.
    virtual bool StartScript(const std::string& path, const std::string& listFolder,
                             std::size_t stampCalls,
                             std::function<void(const ScriptOutcome&)> ended) = 0;

    /// The platform's default sound.
    virtual void Beep() = 0;

    /// Deletes the script file; false when it could not be deleted. By default on the disk.
    virtual bool DeleteScript(const std::string& path);
};

/// Where a run ended.
enum class RunEnd {
    Stopped,    ///< A check refused the run or the user said No; nothing written.
    NotWritten, ///< The script could not be written; nothing started.
    NotStarted, ///< The script was written but could not be started; it was deleted.
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
};

/// The time-copy run behind the run button: checks the pattern, the list and the selection,
/// reads each selected source's times, writes the stamp script into the list folder and starts
/// it. Once the script has ended, it beeps, tells the user how it went and deletes the script.
/// Every check that fails ends the run with its message before anything is written or started.
RunEnd RunTimeCopy(TRunSurroundings& surroundings, const RunContext& context);

} // namespace engine
