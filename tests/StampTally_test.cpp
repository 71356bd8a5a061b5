#include "engine/StampTally.h"

#include "engine/CodePage.h"
#include "engine/ScriptText.h"

#include <gtest/gtest.h>

namespace {

// Guards the console's counts: each of Stamplet's reports counts once in its place, a call it
// refused counts as a failure, and nothing else counts.
TEST(StampTallyTest, CountsStampletReports) {
    const struct {
        const char* line;
        bool counted;
        engine::ScriptOutcome expected;
    } rows[] = {
        {"File clip01.wmv date/time changed succesfully", true, {true, 1, 0, 0}},
        {"File a b.wmv date/time changed succesfully\r", true, {true, 1, 0, 0}},
        // The names as they are, not as the console shows them.
        {"File a\u202Eiva.wmv date/time changed succesfully", true, {true, 1, 0, 0}},
        {"File f\rg\xFF.wmv date/time changed succesfully\r", true, {true, 1, 0, 0}},
        {"Cannot change date/time of \t\x1B.wmv -- file ignored", true, {true, 0, 1, 0}},
        {"Cannot change date/time of x.wmv -- file ignored", true, {true, 0, 1, 0}},
        {"No files found.", true, {true, 0, 0, 1}},
        {"clip01.wmv is a folder: use /S to stamp folders.", true, {true, 0, 1, 0}},
        {"Invalid command line switch. Run Stamplet /? for help.", true, {true, 0, 1, 0}},
        {"Invalid date or time.", true, {true, 0, 1, 0}},
        {"New file date/time will be 17/02/2005  14:03:09", false, {}},
        {"Stamplet verion 1.00", false, {}},
        {"", false, {}},
        {"File without the ending", false, {}},
        {"line.wmv date/time changed succesfully", false, {}},
        {"File date/time changed succesfully", false, {}}, // Its two ends overlap: no name.
    };
    for (const auto& row : rows) {
        engine::ScriptOutcome outcome;
        EXPECT_EQ(engine::TallyStampOutputLine(row.line, outcome), row.counted) << row.line;
        EXPECT_EQ(outcome.changed, row.expected.changed) << row.line;
        EXPECT_EQ(outcome.cannotChange, row.expected.cannotChange) << row.line;
        EXPECT_EQ(outcome.notFound, row.expected.notFound) << row.line;
    }
}

// Guards the console's counts by file: a target counts once, when its last call reports, however
// many calls it takes; a call that failed or found nothing makes it a failure.
TEST(StampTallyTest, CountsTargetsNotCalls) {
    const std::string changed = "File a.wmv date/time changed succesfully";
    const std::string cannot = "Cannot change date/time of a.wmv -- file ignored";
    const std::string none = "No files found.";
    const struct {
        const char* what;
        std::vector<std::size_t> calls;
        std::vector<std::string> lines;
        unsigned changed, cannotChange, notFound;
        std::size_t reached;
    } rows[] = {
        {"three targets of /C and /W",
         {2, 2, 2},
         {changed, changed, changed, changed, changed, changed},
         3,
         0,
         0,
         3},
        {"the last call not yet reported", {2, 2}, {changed, changed, changed}, 1, 0, 0, 1},
        {"one call each", {1, 1}, {changed, cannot}, 1, 1, 0, 2},
        {"a failed first call", {2}, {cannot, changed}, 0, 1, 0, 1},
        {"found by neither call", {2}, {none, none}, 0, 0, 1, 1},
        {"with /A between", {3}, {changed, changed, changed}, 1, 0, 0, 1},
        {"no calls given: each call a target", {}, {changed, none}, 1, 0, 1, 2},
        {"other lines count nothing", {1}, {"Stamplet verion 1.00", changed}, 1, 0, 0, 1},
    };
    for (const auto& row : rows) {
        engine::TargetTally tally(row.calls);
        for (const std::string& line : row.lines)
            tally.Take(line);
        EXPECT_EQ(tally.Outcome().changed, row.changed) << row.what;
        EXPECT_EQ(tally.Outcome().cannotChange, row.cannotChange) << row.what;
        EXPECT_EQ(tally.Outcome().notFound, row.notFound) << row.what;
        EXPECT_EQ(tally.Outcome().reached, row.reached) << row.what;
    }
}

// Guards the evidence that a script finished: its done text as each dialect prints it, with or
// without the CR of a batch file's line end, and nothing that merely resembles it.
TEST(StampTallyTest, RecognisesTheDoneLine) {
    const std::string done = engine::script_text::kDone;
    const std::string batch = engine::AnsiToOemText(engine::AnsiFromUtf8(done));
    const struct {
        const char* what;
        std::string line;
        bool done;
    } rows[] = {
        {"as /bin/sh prints it", done, true},
        {"as cmd prints it", batch + "\r", true},
        {"in the window's code page", engine::AnsiFromUtf8(done), false},
        {"cut short", done.substr(0, done.size() - 1), false},
        {"with more after it", done + " x", false},
        {"the echo command itself", "echo " + done, false},
        {"a report", "File clip01.wmv date/time changed succesfully", false},
        {"empty", "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(engine::IsDoneLine(row.line), row.done) << row.what;
}

} // namespace
