#include "engine/Messages.h"

#include "engine/Names.h"
#include "stampreport/StampletText.h"

#include <cstdio>

namespace engine::messages {
namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

std::string EmptyList(std::string_view filter) {
    return "Tiedostolista on tyhjä. Valitse ensin jokin hakemisto, jossa on tiedostoja "
           "(suodattimella " +
           std::string(filter) + ") tai vaihda suodatinta.";
}

std::string TargetIsSource(std::string_view item) {
    return "VIRHE! Kohdetiedostolla ei saa olla samaa tiedostonimeä kuin lähdetiedostolla. "
           "Sinulla on todennäköisesti väärä Kohdetiedosto-suodatin. Koko prosessi "
           "keskeytetään.\r\rTiedosto, jonka kohdalla virhe tuli, on:\r" +
           std::string(item);
}

std::string TimesUnreadable(std::string_view item) {
    return "Tiedoston " + Quoted(item) +
           " päiväystietoja ei voitu ottaa tiedostosta. Keskeytetään koko prosessi.";
}

std::string TargetIsScript(std::string_view target) {
    return "VIRHE! Kohdetiedostolla ei saa olla samaa nimeä kuin väliaikaistiedostolla, koska "
           "väliaikaistiedosto korvaisi sen. Koko prosessi keskeytetään.\r\rTiedosto, jonka "
           "kohdalla virhe tuli, on:\r" +
           std::string(target);
}

std::string RecordNotWritten(std::string_view path, std::string_view reason) {
    return "VIRHE! Palautustiedostoa " + Quoted(path) + " ei voitu kirjoittaa:\r" +
           std::string(reason) + "\r\rTiedostoaikoja ei asetettu. Keskeytetään koko prosessi.";
}

std::string NothingToRestore(std::string_view folder) {
    return "Kansiolle " + Quoted(folder) +
           " ei ole tallennettu ajoa, jonka ajat voisi palauttaa. Palautettavat ajat tallennetaan "
           "vain, kun Tee palautustiedosto on valittuna.";
}

namespace {

std::string When(const CalendarTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%04d klo %02d.%02d.%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
    return text;
}

/// Where the targets of `offer` lay: the list folder, or the folders named, the first few.
std::string TargetsWhere(const RestoreOffer& offer) {
    constexpr std::size_t kNamedFolders = 3;
    const std::vector<std::string>& folders = offer.targetFolders;
    if (folders.empty() || (folders.size() == 1 && folders[0].empty()))
        return " Kohdetiedostot olivat samassa kansiossa.";
    std::string text = folders.size() == 1 ? " Kohdetiedostot olivat kansiossa "
                                           : " Kohdetiedostot olivat kansioissa ";
    for (std::size_t i = 0; i < folders.size() && i < kNamedFolders; ++i)
        text += (i > 0 ? ", " : "") + Quoted(folders[i].empty() ? offer.folder : folders[i]);
    if (folders.size() > kNamedFolders)
        text += " ja " + std::to_string(folders.size() - kNamedFolders) + " muussa";
    return text + ".";
}

} // namespace

std::string AskRestore(const RestoreOffer& offer, bool earlier) {
    std::string text = "Palautetaanko " + std::to_string(offer.count) +
                       " kohdetiedostolle aiemmat ajat, jotka niillä oli ennen " +
                       When(offer.when) +
                       " tehtyä ajoa? Paina Kyllä, jos haluat palauttaa ajat, ja Ei, jos et.";
    text += "\r\rAjo tehtiin " + When(offer.when) + " kansiossa " + Quoted(offer.folder) +
            ", ja se muutti " + std::to_string(offer.changed) +
            " kohdetiedoston ajat, joita ei ole vielä palautettu." + TargetsWhere(offer);
    if (offer.leftAlone > 0)
        text += "\r\r" + std::to_string(offer.leftAlone) +
                " muuta ajon kohdetiedostoa jätetään ennalleen, koska niitä on muutettu, ne on "
                "korvattu tai ne puuttuvat.";
    if (earlier)
        text += "\r\rJos painat Ei, sinulta kysytään seuraavaksi saman kansion edellisestä ajosta.";
    return text;
}

std::string NothingRestorable(const CalendarTime& when) {
    return "Mikään " + When(when) +
           " tehdyn ajon kohdetiedostoista ei ole enää sellainen kuin ajo sen jätti, joten "
           "aikoja ei palautettu.";
}

std::string RecordsRefused(const std::vector<std::pair<std::string, std::error_code>>& refused) {
    std::string text;
    for (const auto& [path, reason] : refused) {
        const char* why =
            reason == std::errc::illegal_byte_sequence ? "se on vioittunut tai vajaa"
            : reason == std::errc::file_too_large      ? "se on liian suuri"
            : reason == std::errc::invalid_argument ||
                    reason == std::errc::too_many_symbolic_link_levels
                ? "se ei ole tavallinen tiedosto"
            : reason == std::errc::operation_not_permitted ? "se kuuluu toiselle käyttäjälle"
            : reason == std::errc::permission_denied ? "muut käyttäjät voivat kirjoittaa siihen"
                                                     : nullptr;
        text += (text.empty() ? "" : "\r") + std::string("Palautustiedostoa ") + Quoted(path) +
                " ei luettu, koska " + (why ? why : reason.message()) + ". Se jätettiin ennalleen.";
    }
    return text;
}

std::string ListFolderGone(std::string_view folder) {
    return "Kansiota " + Quoted(folder) +
           " ei enää löydy. Se on ehkä siirretty tai poistettu. Keskeytetään koko prosessi.";
}

namespace {

std::string NowAt(std::string_view folder, std::string_view now) {
    return folder == now ? std::string() : "\r\rKansio on nyt: " + Quoted(now);
}

} // namespace

std::string FolderMovedBeforeStart(std::string_view folder, std::string_view now) {
    return "VIRHE! Kansio " + Quoted(folder) +
           " siirrettiin, tai sen tilalle tuli toinen kansio, kun väliaikaistiedosto oli jo "
           "kirjoitettu. Tiedostoaikoja ei asetettu." +
           NowAt(folder, now);
}

std::string FolderMovedDuringRun(std::string_view folder, std::string_view now) {
    return "Kansio " + Quoted(folder) +
           " siirrettiin, tai sen tilalle tuli toinen kansio, ajon aikana. Aikoja asetettiin ja "
           "luettiin vain alkuperäisessä kansiossa." +
           NowAt(folder, now);
}

std::string ScriptNotDeleted(std::string_view path) {
    return "VAROITUS! Väliaikaistiedostoa " + Quoted(path) +
           " ei voitu poistaa. Voit poistaa sen itse sitten kun olet sulkenut sen tai "
           "käynnistänyt Windowsin alusta.";
}

std::string ScriptNotStarted(std::string_view path) {
    return "VIRHE! Väliaikaistiedostoa " + Quoted(path) +
           " ei voitu käynnistää. Tiedostoaikoja ei asetettu.";
}

std::string ListFolderNotCarried(std::string_view folder) {
    return "Kansion " + Quoted(folder) +
           " nimessä on merkki, jota komentoikkuna ei osaa lukea. Keskeytetään koko prosessi.";
}

std::string ProgramFolderNotCarried(std::string_view folder) {
    return "Ohjelmakansion " + Quoted(folder) +
           " nimessä on merkki, jota komentoikkuna ei osaa lukea. Siirrä ohjelma toiseen "
           "kansioon. Keskeytetään koko prosessi.";
}

std::string TargetNotCarried(std::string_view item, std::string_view target) {
    return "Tiedoston " + Quoted(item) + " kohdetiedoston nimessä " + Quoted(target) +
           " on merkki, jota komentoikkuna ei osaa lukea. Keskeytetään koko prosessi.";
}

std::string SourceNameIsMask(std::string_view item) {
    return "Tiedoston " + Quoted(item) +
           " nimessä on merkki * tai ?, joten kohdetiedoston nimi osuisi myös muihin "
           "tiedostoihin. Nimeä tiedosto uudelleen. Keskeytetään koko prosessi.";
}

std::string StampletMissing(std::string_view path) {
    return "Aikaleimaohjelmaa " + Quoted(path) +
           " ei löytynyt. Asenna Kronalo uudelleen. Keskeytetään koko prosessi.";
}

namespace {

/// The most targets a warning names one by one; a box must still fit on the screen.
constexpr std::size_t kNamedTargets = 10;

const char* Why(TargetState state) {
    switch (state) {
    case TargetState::NotFound:
        return "ei löytynyt";
    case TargetState::Folder:
        return "on kansio, jota ei leimata";
    case TargetState::Skipped:
        return "on piilotettu tiedosto, jota ei leimata";
    case TargetState::WriteTimeDiffers:
        return "muokkausaikaa ei saatu asetettua";
    case TargetState::Unreadable:
        return "aikoja ei voitu lukea";
    case TargetState::ChangedSince:
        return "muutettu ajon jälkeen, jätetty ennalleen";
    case TargetState::Replaced:
        return "korvattu toisella tiedostolla, jätetty ennalleen";
    case TargetState::NotCarried:
        return "nimeä tai aikoja ei voi antaa aikaleimaohjelmalle sellaisinaan, jätetty ennalleen";
    case TargetState::LaterRun:
        return "myöhempi ajo muutti sen, jätetty ennalleen (palauta ensin myöhempi ajo)";
    case TargetState::LinkOut:
        return "on symbolinen linkki ajon kansioiden ulkopuolelle, jätetty ennalleen";
    case TargetState::Stamped:
        break;
    }
    return "";
}

} // namespace

std::string RunVerdict(bool finished, const TargetReport& report, bool stopped) {
    std::string text;
    if (report.AllStamped() && !stopped) {
        text = kDone;
    } else {
        text = stopped    ? "VAROITUS! Ajo keskeytettiin käyttäjän pyynnöstä."
               : finished ? "VAROITUS! Kaikkien tiedostojen aikoja ei voitu asettaa."
                          : "VAROITUS! Väliaikaistiedoston ajo keskeytyi ennen loppuaan.";
        text += "\r\rAjat asetettu: " + std::to_string(report.stamped) +
                "\rAikoja ei asetettu: " + std::to_string(report.notStamped) +
                "\rKohdetiedostoa ei löytynyt: " + std::to_string(report.notFound);
        if (stopped)
            text += "\rKäsittelemättä keskeytyksen vuoksi: " + std::to_string(report.notReached);
        if (!report.problems.empty())
            text += "\r";
        for (std::size_t i = 0; i < report.problems.size() && i < kNamedTargets; ++i)
            text += "\r" + report.problems[i].first + ": " + Why(report.problems[i].second);
        if (report.problems.size() > kNamedTargets)
            text += "\r... ja " + std::to_string(report.problems.size() - kNamedTargets) + " muuta";
    }
    // Only where every last-write time was set does the note say so.
    if (report.creationNotKept > 0)
        text += std::string("\r\r") +
                (report.AllStamped() && !stopped ? kCreationNotKept : kCreationLeftAlone);
    return text;
}

std::string PairDetails(const std::vector<PairLine>& lines) {
    std::size_t missing = 0, already = 0, leftAlone = 0;
    for (const PairLine& line : lines) {
        missing += line.mark == PairLine::Mark::Missing ? 1 : 0;
        already += line.mark == PairLine::Mark::AlreadySo ? 1 : 0;
        leftAlone += line.mark == PairLine::Mark::LeftAlone ? 1 : 0;
    }
    std::string text = "Kohdetiedostoja " + std::to_string(lines.size() - leftAlone) +
                       ", joista puuttuu " + std::to_string(missing) +
                       " ja joilla on jo sama aika " + std::to_string(already) +
                       ". Jätetään ennalleen " + std::to_string(leftAlone) + ".\r";
    text.reserve(text.size() + lines.size() * 64);
    for (const PairLine& line : lines) {
        text += "\r";
        // A name cannot reorder its line or start one that reads like another pair.
        if (!line.source.empty())
            text += ShownText(line.source) + " -> ";
        text += ShownText(line.target);
        if (line.mark == PairLine::Mark::LeftAlone) {
            text += std::string(": ") + Why(line.why);
            continue;
        }
        text += ": " + When(line.lastWrite);
        if (line.mark == PairLine::Mark::Missing)
            text += " [puuttuu]";
        else if (line.mark == PairLine::Mark::AlreadySo)
            text += " [aika on jo sama]";
    }
    return text;
}

std::string CannotCreateFile(std::string_view path, std::string_view reason) {
    return Filled(kCannotCreateFile, path) + "\r" + std::string(reason);
}

std::string Filled(const char* format, std::string_view text) {
    return stamp::text::Filled(format, text);
}

} // namespace engine::messages
