#pragma once

// Every text the time-copy run shows the user, in one place. Finnish, UTF-8; "\r" is the line
// break the message boxes show.

#include <string>
#include <string_view>

namespace engine::messages {

/// M1: the target pattern is blank.
inline constexpr const char* kBlankPattern =
    "Kohdetiedostokenttä ei saa olla tyhjä. Sen pitää olla tyyppiä: *.wmv\rtai esimerkiksi: "
    "KUVA_*.wmv";

/// M3: nothing is selected; asks whether to select everything.
inline constexpr const char* kNothingSelected =
    "Listassa ei ole yhtään kohdetta valittuna. Paina Kyllä, jos haluat, että kaikki kohteet "
    "valitaan automaattisesti, ja Ei, joos haluat määrätä itse valittavat kohteet?";

/// M6: the script is written and is about to run.
inline constexpr const char* kScriptWritten =
    "Väliaikaistiedosto luotu. Paina OK, niin tiedostoajat asetetaan!";

/// M7: every stamp call of the script succeeded.
inline constexpr const char* kDone = "VALMIS! Ajat asetettu valittuihin tiedostoihin.";

/// M2: the file list is empty.
std::string EmptyList(std::string_view filter);

/// M4: a target name equals its source name.
std::string TargetIsSource(std::string_view item);

/// M5: a source's times cannot be read.
std::string TimesUnreadable(std::string_view item);

/// M8: the script could not be deleted.
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

/// The script has ended, but not every stamp call succeeded.
std::string NotAllStamped(bool finished, unsigned changed, unsigned cannotChange,
                          unsigned notFound);

/// The runtime's text when the script file cannot be created.
std::string CannotCreateFile(std::string_view path);

} // namespace engine::messages
