#include "engine/StampTally.h"

namespace engine {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

bool TallyStampOutputLine(std::string_view line, ScriptOutcome& outcome) {
    if (EndsWith(line, "\r"))
        line.remove_suffix(1);
    // Stamplet's own texts. A name with a line break splits its report in two and is counted
    // neither as changed nor as a failure.
    if (StartsWith(line, "File ") && EndsWith(line, " date/time changed succesfully")) {
        ++outcome.changed;
        return true;
    }
    if (StartsWith(line, "Cannot change date/time of ") && EndsWith(line, " -- file ignored")) {
        ++outcome.cannotChange;
        return true;
    }
    if (line == "No files found.") {
        ++outcome.notFound;
        return true;
    }
    // A call that Stamplet refused as a whole (a target name that reads as a switch, say)
    // changed nothing either.
    for (const std::string_view fault :
         {"Invalid command line switch.", "/D switch must be followed", "Invalid date format.",
          "/T switch must be followed", "Invalid time format.", "Invalid date or time."}) {
        if (StartsWith(line, fault)) {
            ++outcome.cannotChange;
            return true;
        }
    }
    return false;
}

} // namespace engine
