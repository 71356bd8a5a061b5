#pragma once

// Every text of Kronalo's windows that the time-copy engine does not own, in one place: UTF-8,
// as both windows take them (the Win32 window in the window's code page).

#include "KronaloVersion.h"

namespace form::text {

inline constexpr const char* kTitle = "Kronalo " KRONALO_VERSION_TEXT;

// What the command line asks for instead of the window.
inline constexpr const char* kUsage =
    "Usage: kronalo [path]\n"
    "       kronalo --help | --version\n"
    "\n"
    "Opens Kronalo's window, where converted or copied files get the date and time stamps of\n"
    "their originals. A path opens its folder, or the folder of the file it names (a folder\n"
    "called --help opens as ./--help).\n"
    "\n"
    "  --help     print this help and end\n"
    "  --version  print the version and end\n";
inline constexpr const char* kVersionLine = "Kronalo " KRONALO_VERSION_TEXT "\n";

// Controls.
inline constexpr const char* kFilterLabel = "&Päätesuodatin (from):";
/// The filter box's list entries, in their order.
inline constexpr const char* kFilterPresets[] = {"*.*",   "*.wmv", "*.avi",
                                                 "*.jpg", "*.wav", "*.mp3"};
inline constexpr const char* kPathAccelerator = "&d";
inline constexpr const char* kSelectAllBox = "V&alitse kaikki itsestään";
inline constexpr const char* kMakeReturnFile = "&Tee palautustiedosto";
inline constexpr const char* kSelectAllBtn = "&Valitse kaikki";
inline constexpr const char* kTargetLabel = "Kohdetiedosto (to):";
inline constexpr const char* kTargetHint = "* = lähdetiedoston nimi ilman päätettä";
inline constexpr const char* kMoreButton = "Lisävalinnat...";
inline constexpr const char* kDoItBtn = "&Kopioi tiedostoajat";

// The popup menu.
inline constexpr const char* kMenuSelectAll = "Valitse kaikki";
inline constexpr const char* kMenuEveryOther = "Valitse joka toinen";
inline constexpr const char* kMenuInverse = "Käänteinen valinta";
inline constexpr const char* kMenuEveryOtherInAddition = "Valitse joka toinen + jo valitut";
inline constexpr const char* kMenuChangePath = "Vaihda polkua (Alt+D)";
inline constexpr const char* kMenuRestore = "Palauta aiemmat ajat...";

// Message boxes.
inline constexpr const char* kConfirmCaption = "Confirm";
inline constexpr const char* kYes = "&Yes";
inline constexpr const char* kNo = "&No";
/// The buttons of Kronalo's own questions, whose texts name them so.
inline constexpr const char* kYesOwn = "&Kyllä";
/// The button that declines the script written, beside OK.
inline constexpr const char* kCancel = "Peruuta";
inline constexpr const char* kNoOwn = "&Ei";
/// The button of the script-written box that opens its details, and closes them again, where the
/// platform's boxes have no such button of their own.
inline constexpr const char* kShowDetails = "Näytä tiedot...";
inline constexpr const char* kHideDetails = "Piilota tiedot...";

// The folder tree's context menu.
inline constexpr const char* kOpenInFileManager = "Avaa tiedostonhallinnassa";
inline constexpr const char* kCopyPath = "Kopioi polku leikepöydälle";

// The stamp console.
inline constexpr const char* kConsoleTitle =
    "Kronalo " KRONALO_VERSION_TEXT " - tiedostoaikojen asetus";
inline constexpr const char* kConsoleRunning = "Asetetaan tiedostoaikoja...";
/// The counts of changed, unchanged and missing target files, in this order.
inline constexpr const char* kConsoleSummary =
    "Valmis. Ajat asetettu tiedostoihin: %s. Aikoja ei voitu muuttaa: %s. Kohdetiedostoa ei "
    "löytynyt: %s.";
inline constexpr const char* kConsoleInterrupted = "Komentojono keskeytyi ennen loppuaan.";
inline constexpr const char* kConsoleStopped = "Ajo keskeytettiin käyttäjän pyynnöstä.";
/// After kConsoleStopped: the count of target files the stopped script never came to.
inline constexpr const char* kConsoleNotReached = " Käsittelemättä jäi %s tiedostoa.";
/// The console's stop button while the script runs.
inline constexpr const char* kConsoleStop = "&Keskeytä";
/// Asked where the console is closed while its script runs: Yes stops, No waits.
inline constexpr const char* kStopOrWait =
    "Tiedostoaikoja asetetaan vielä. Keskeytetäänkö ajo? Kyllä keskeyttää ajon, kun käynnissä "
    "oleva tiedosto on valmis; Ei antaa ajon jatkua loppuun.";
inline constexpr const char* kConsoleClose = "&Sulje";

// Guards of the run's lifetime.
inline constexpr const char* kRunStillGoing =
    "Edellinen tiedostoaikojen asetus on vielä kesken. Odota, kunnes se on valmis.";
inline constexpr const char* kWaitBeforeClosing =
    "Tiedostoaikojen asetus on vielä kesken. Paina Kyllä, jos haluat odottaa sen loppuun ja "
    "sulkea sitten ohjelman, ja Ei, jos haluat jatkaa ohjelman käyttöä.";

} // namespace form::text
