#include "engine/Messages.h"

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

std::string NotAllStamped(bool finished, unsigned changed, unsigned cannotChange,
                          unsigned notFound) {
    std::string text = finished ? "VAROITUS! Kaikkien tiedostojen aikoja ei voitu asettaa."
                                : "VAROITUS! Väliaikaistiedoston ajo keskeytyi ennen loppuaan.";
    text += "\r\rOnnistuneet leimaukset: " + std::to_string(changed) +
            "\rAikoja ei voitu muuttaa: " + std::to_string(cannotChange) +
            "\rKohdetiedostoa ei löytynyt: " + std::to_string(notFound);
    return text;
}

std::string CannotCreateFile(std::string_view path) {
    return "Cannot create file " + std::string(path);
}

} // namespace engine::messages
