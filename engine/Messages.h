#pragma once

// Every text the time-copy run shows the user, in one place. Finnish, UTF-8; "\r" is the line
// break the message boxes show.

#include "engine/DateTime.h"
#include "engine/TargetCheck.h"

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace engine::messages {

/// The target pattern is blank.
inline constexpr const char* kBlankPattern =
    "Kohdetiedostokenttä ei saa olla tyhjä. Sen pitää olla tyyppiä: *.wmv\rtai esimerkiksi: "
    "KUVA_*.wmv";

/// Nothing is selected; asks whether to select everything.
inline constexpr const char* kNothingSelected =
    "Listassa ei ole yhtään kohdetta valittuna. Paina Kyllä, jos haluat, että kaikki kohteet "
    "valitaan automaattisesti, ja Ei, joos haluat määrätä itse valittavat kohteet?";

/// The script is written and is about to run.
inline constexpr const char* kScriptWritten =
    "Väliaikaistiedosto luotu. Paina OK, niin tiedostoajat asetetaan!";

/// Every target was read back with its source's times.
inline constexpr const char* kDone = "VALMIS! Ajat asetettu valittuihin tiedostoihin.";

/// Added where a file system kept no creation time: the last-write times are set all the same.
inline constexpr const char* kCreationNotKept =
    "Tämän levyn tiedostojärjestelmä ei pysty tallentamaan luontiaikaa, joten luontiajat jäivät "
    "ennalleen. Muokkausajat asetettiin.";

/// In place of kCreationNotKept where not every last-write time was set.
inline constexpr const char* kCreationLeftAlone =
    "Tämän levyn tiedostojärjestelmä ei pysty tallentamaan luontiaikaa, joten luontiajat jäivät "
    "ennalleen.";

/// The machine's time zone cannot be asked, so no local time can be given.
inline constexpr const char* kZoneUnreadable =
    "Koneen aikavyöhykettä ei voitu lukea, joten tiedostoaikoja ei voi muuntaa paikalliseen "
    "aikaan. Keskeytetään koko prosessi.";

/// Daylight-saving time began or ended while kScriptWritten was shown; the script's times would be
/// an hour off, so it is not run.
inline constexpr const char* kZoneChanged =
    "Kesäaika alkoi tai päättyi, kun väliaikaistiedosto oli jo kirjoitettu, joten sen ajat "
    "olisivat väärin. Tiedostoaikoja ei asetettu. Paina Kopioi tiedostoajat uudelleen.";

/// The file list is empty.
std::string EmptyList(std::string_view filter);

/// A target name equals its source name.
std::string TargetIsSource(std::string_view item);

/// A source's times cannot be read.
std::string TimesUnreadable(std::string_view item);

/// A target name equals the stamp script's name: the script would replace the user's file.
std::string TargetIsScript(std::string_view target);

/// The record of what the run changes could not be written: nothing was.
std::string RecordNotWritten(std::string_view path, std::string_view reason);

/// Said below a restore's summary and final box: Stamplet sets whole seconds.
inline constexpr const char* kFractionNotRestored =
    "Ajat palautettiin sekunnin tarkkuudella: sekunnin osia ei palautettu.";

/// Said below a time-copy run's summary and final box where a selected source's time holds a
/// fraction of a second: Stamplet sets whole seconds.
inline constexpr const char* kFractionDropped =
    "Ajat asetettiin sekunnin tarkkuudella: lähdetiedostojen aikojen sekunnin osia ei kopioitu.";

/// No run recorded for the list folder is left to take back.
std::string NothingToRestore(std::string_view folder);

/// What the script will do with one target, as the details of the script-written box list it.
struct PairLine {
    std::string source; ///< Empty for a restore.
    std::string target;
    CalendarTime lastWrite; ///< The last-write time the target will get, local.
    /// What stands out: nothing, the target is missing, it already has that time, or the run
    /// leaves it alone (a restore's targets changed since), for the reason `why`.
    enum class Mark { None, Missing, AlreadySo, LeftAlone } mark = Mark::None;
    TargetState why = TargetState::Stamped;
};

/// The details of the script-written box: the counts of each mark, then one line per target in
/// the script's order, its names as ShownText shows them.
std::string PairDetails(const std::vector<PairLine>& lines);

/// What the question about taking back one recorded run tells.
struct RestoreOffer {
    std::size_t count = 0;     ///< Targets that get their earlier times back.
    std::size_t leftAlone = 0; ///< Others, no longer as the run left them.
    std::size_t changed = 0;   ///< Targets the run changed that were not given back yet.
    CalendarTime when;         ///< When the run was made, local time.
    std::string folder;        ///< The run's list folder.
    /// The folders the run's targets lay in, as the run named them from its list folder (empty for
    /// the list folder itself), each once.
    std::vector<std::string> targetFolders = {};
};

/// Asks whether to give the targets of the run `offer` tells their earlier times back; where
/// `earlier`, No moves on to the run made before it.
std::string AskRestore(const RestoreOffer& offer, bool earlier);

/// No target of the run made at `when` is as the run left it: nothing is restored.
std::string NothingRestorable(const CalendarTime& when);

/// Records that were not read, each with its reason, and that were left as they are.
std::string RecordsRefused(const std::vector<std::pair<std::string, std::error_code>>& refused);

/// The list folder cannot be found any more.
std::string ListFolderGone(std::string_view folder);

/// The list folder was moved, or another put in its place, after the script was written; nothing
/// was started. `now` is where the folder the run held stands now.
std::string FolderMovedBeforeStart(std::string_view folder, std::string_view now);

/// Added to the final box where the list folder was moved or replaced while the script ran.
std::string FolderMovedDuringRun(std::string_view folder, std::string_view now);

/// The script could not be deleted.
std::string ScriptNotDeleted(std::string_view path);

/// The script could not be started at all.
std::string ScriptNotStarted(std::string_view path);

/// The list folder's name holds a character the command interpreter would not read as written.
std::string ListFolderNotCarried(std::string_view folder);

/// The program folder's name holds such a character.
std::string ProgramFolderNotCarried(std::string_view folder);

/// An item's target name holds such a character.
std::string TargetNotCarried(std::string_view item, std::string_view target);

/// A source's name holds "*" or "?", which would make its target name a mask for other files.
std::string SourceNameIsMask(std::string_view item);

/// Stamplet is not in the program folder.
std::string StampletMissing(std::string_view path);

/// How the run ended, from its targets as read back: kDone when every one has its times (with the
/// note on creation times where needed), otherwise a warning with the counts and each target
/// that was not stamped and why. `finished` is false when the script was cut short; `stopped`
/// where the user stopped it, and the targets it never came to are counted apart.
std::string RunVerdict(bool finished, const TargetReport& report, bool stopped = false);

/// The platform's text when a file cannot be created or rewritten (the script, or a record being
/// marked), with the system's reason on the next line.
std::string CannotCreateFile(std::string_view path, std::string_view reason);

// The errors the platform raises in English, as the window shows them; "%s" stands for a path,
// a line or a typed text.
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
inline constexpr const char* kCannotOpenFile = "Cannot open file %s";
inline constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";
inline constexpr const char* kNotABoolean = "'%s' is not a valid boolean value";
inline constexpr const char* kErrorSettingPath = "Error setting path: \"%s\"";

/// `format` with its "%s" replaced by `text`.
std::string Filled(const char* format, std::string_view text);

} // namespace engine::messages
