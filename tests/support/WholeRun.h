#pragma once

// A time-copy run taken through the engine's steps to its verdict, for tests and benchmarks.

#include "engine/RunChain.h"
#include "engine/StampTally.h"
#include "engine/TimeCopyRun.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "tests/support/ProgramRun.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace test {

/// A time-copy run taken as the window's run owner takes it, without a window: the question
/// answered, the script run to its end under the system's interpreter (or taken for one that
/// stamped nothing), its output counted as the console counts it, then judged and deleted.
class WholeRun {
public:
    engine::RunRequest request{{}, {"*.wmv", "*.avi"}};

    std::vector<std::string> boxes; ///< The text of every box, in order; "ask: " before a question.
    std::optional<engine::StartedRun> run; ///< A run that reached its start, until it ends.
    std::string written;                   ///< The script's bytes.
    std::size_t stampCalls = 0;
    engine::ScriptEnvironment environment;
    std::vector<const platform::HeldFolder*> targetFolders;
    ProgramRun script; ///< What the script printed.

    /// Lists the entries of `folder` that match `mask` and are no folders, all selected.
    void ListFiles(const std::string& folder, const std::string& mask = "*.avi") {
        engine::ListState& list = request.list;
        list = engine::ListState{folder, {}, {}};
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        for (bool found = search.Start(platform::JoinPath(folder, mask), entry); found;
             found = search.Next(entry)) {
            if (!entry.folder)
                list.items.push_back(entry.name);
        }
        list.selected.assign(list.items.size(), true);
    }

    /// The text of the last box.
    std::string LastBox() const { return boxes.empty() ? std::string() : boxes.back(); }

    /// Takes the run along the engine's chain up to the start of its script: prepared (where
    /// nothing is selected, `yes` answers the question and selects every item), written, checked,
    /// its record marked; the script itself is started by Run, or not at all.
    engine::RunEnd Start(const engine::RunContext& context, bool yes = true) {
        engine::Prepared prepared = engine::PrepareTimeCopy(context, request);
        if (const auto* question = std::get_if<engine::Question>(&prepared)) {
            boxes.push_back("ask: " + question->text);
            if (!yes)
                return engine::RunEnd::Stopped;
            request.list.selected.assign(request.list.items.size(), true);
            return Start(context, engine::PrepareTimeCopy(context, request));
        }
        return Start(context, std::move(prepared));
    }

    /// Judges the started run once its script has ended with `outcome`, and deletes the script;
    /// the verdict.
    std::string End(const engine::ScriptOutcome& outcome) {
        engine::StartedRun started = std::move(*run);
        run.reset();
        const engine::Verdict verdict = engine::End(std::move(started), outcome);
        boxes.push_back(verdict.text);
        for (const engine::Box& box : verdict.after)
            boxes.push_back(box.text);
        return verdict.text;
    }

    /// Takes the whole run; `runScript` false ends the script at once, as if it had stamped
    /// nothing.
    engine::RunEnd Run(const engine::RunContext& context, bool runScript = true) {
        const engine::RunEnd end = Start(context);
        if (end != engine::RunEnd::Started)
            return end;
        engine::ScriptOutcome outcome;
        if (runScript) {
            const engine::ScriptRun& started = run->Run();
            if (RunProcess(
                    platform::ScriptStart(started.file, started.folder, environment, targetFolders),
                    script))
                return engine::RunEnd::NotStarted;
            outcome = Tally(script);
        }
        End(outcome);
        return engine::RunEnd::Started;
    }

private:
    engine::RunEnd Start(const engine::RunContext& context, engine::Prepared prepared) {
        if (const auto* stop = std::get_if<engine::Box>(&prepared)) {
            boxes.push_back(stop->text);
            return engine::RunEnd::Stopped;
        }
        const engine::ChainHands hands{
            [this](const engine::Box& box) { boxes.push_back(box.text); },
            [this](const engine::Box& box, const engine::ScriptRun& told) {
                boxes.push_back(box.text);
                std::ifstream in(told.folder.Inside(told.scriptName), std::ios::binary);
                written.assign(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
                return true;
            },
            [this](const engine::ScriptLaunch& launch) {
                stampCalls = launch.stampCalls;
                environment = launch.environment;
                targetFolders = launch.targetFolders;
                return true;
            },
            [this](engine::StartedRun started) { run.emplace(std::move(started)); }};
        return engine::StartRun(std::move(std::get<engine::PreparedRun>(prepared)), context, hands);
    }

    static engine::ScriptOutcome Tally(const ProgramRun& run) {
        engine::ScriptOutcome outcome;
        std::string_view out = run.out, last;
        while (!out.empty()) {
            const std::size_t end = std::min(out.find('\n'), out.size());
            const std::string_view line = out.substr(0, end);
            engine::TallyStampOutputLine(line, outcome);
            if (line.find_first_not_of(" \t\r") != line.npos)
                last = line;
            out.remove_prefix(std::min(end + 1, out.size()));
        }
        outcome.finished = run.exitStatus >= 0 && engine::IsDoneLine(last);
        return outcome;
    }
};

} // namespace test
