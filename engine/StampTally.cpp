#include "engine/StampTally.h"

#include "engine/CodePage.h"
#include "engine/ScriptText.h"
#include "stampreport/StampletText.h"

#include <string>

namespace engine {
namespace {

/// The first line of one of Stamplet's texts, without its line end.
std::string_view FirstLine(std::string_view text) {
    return text.substr(0, text.find('\n'));
}

/// True when `line` is what Stamplet prints for the format `report`, whose "%s" stands for a name.
bool IsReport(std::string_view line, std::string_view report) {
    report = FirstLine(report);
    const std::size_t name = report.find("%s");
    const std::string_view before = report.substr(0, name);
    const std::string_view after = report.substr(name + 2);
    return line.size() > before.size() + after.size() && line.starts_with(before) &&
           line.ends_with(after);
}

} // namespace

bool TallyStampOutputLine(std::string_view line, ScriptOutcome& outcome) {
    namespace text = stamp::text;
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    // A name with a line break splits its report in two and is counted neither as changed nor as
    // a failure; the run's verdict reads the targets' times back and does not rely on this.
    if (IsReport(line, text::kChanged)) {
        ++outcome.changed;
        return true;
    }
    // A target that became a folder is refused as a whole, with its name.
    if (IsReport(line, text::kCannotChange) || IsReport(line, text::kFolderWithoutS)) {
        ++outcome.cannotChange;
        return true;
    }
    if (line == FirstLine(text::kNoFilesFound)) {
        ++outcome.notFound;
        return true;
    }
    // A call that Stamplet refused as a whole (a target name that reads as a switch, say)
    // changed nothing either.
    for (const char* fault :
         {text::kInvalidSwitch, text::kDateMissing, text::kBadDate, text::kTimeMissing,
          text::kBadTime, text::kInvalidDateTime, text::kNoZone, text::kNoClock}) {
        if (line == FirstLine(fault)) {
            ++outcome.cannotChange;
            return true;
        }
    }
    return false;
}

bool TargetTally::Take(std::string_view line) {
    ScriptOutcome call;
    if (!TallyStampOutputLine(line, call))
        return false;
    target_.changed += call.changed;
    target_.cannotChange += call.cannotChange;
    target_.notFound += call.notFound;
    const std::size_t index = outcome_.reached;
    if (++calls_ < (index < callsPerTarget_.size() ? callsPerTarget_[index] : 1))
        return true;
    if (call.notFound > 0)
        ++outcome_.notFound;
    else if (target_.cannotChange > 0 || target_.notFound > 0)
        ++outcome_.cannotChange;
    else
        ++outcome_.changed;
    ++outcome_.reached;
    target_ = ScriptOutcome();
    calls_ = 0;
    return true;
}

bool IsCreationNoteLine(std::string_view line) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return IsReport(line, stamp::text::kCreationNotKept);
}

bool IsDoneLine(std::string_view line) {
    // The batch dialect writes the text through the fixed table, so its bytes are the same on
    // every machine; cmd reads and prints them in one single-byte code page, unchanged.
    static const std::string batch = AnsiToOemText(AnsiFromUtf8(script_text::kDone));
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line == script_text::kDone || line == batch;
}

} // namespace engine
