#pragma once

// The time-copy run's surroundings for tests and benchmarks.

#include "engine/StampTally.h"
#include "engine/TimeCopyRun.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "tests/support/ProgramRun.h"

#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace test {

/// Surroundings that record every call in order ("info: ", "error: ", "ask: " and the like) and
/// answer from their fields. The script is either held for the test to end by calling `ended`,
/// or run to its end under the system's interpreter before StartScript returns, its output
/// counted as the console counts it.
class TestSurroundings : public engine::TRunSurroundings {
public:
    enum class Script { Hold, Run };
    explicit TestSurroundings(Script mode = Script::Hold) : mode_(mode) {}

    engine::ListState list;
    engine::FieldTexts fields{"*.wmv", "*.avi"};
    engine::Answer answer = engine::Answer::Yes;
    bool canStart = true;
    bool canDelete = true;
    std::optional<std::errc> writeFailure;

    std::vector<std::string> log;
    std::string written;
    std::size_t stampCalls = 0;
    std::vector<std::pair<std::string, std::string>> environment;
    std::function<void(const engine::ScriptOutcome&)> ended;
    ProgramRun script; ///< What a script run to its end printed.

    /// Lists the entries of `folder` that match `mask` and are no folders, all selected.
    void ListFiles(const std::string& folder, const std::string& mask = "*.avi") {
        list = engine::ListState{folder, {}, {}};
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        for (bool found = !search.First(platform::JoinPath(folder, mask), entry); found;
             found = search.Next(entry)) {
            if (!entry.folder)
                list.items.push_back(entry.name);
        }
        list.selected.assign(list.items.size(), true);
    }

    /// What the run button would hand the run: the list and the fields.
    engine::RunRequest Request() const { return {list, fields}; }

    /// The text of the last box shown, without its kind.
    std::string LastBox() const {
        for (auto entry = log.rbegin(); entry != log.rend(); ++entry) {
            for (const std::string_view kind : {"info: ", "error: ", "ask: "})
                if (entry->starts_with(kind))
                    return entry->substr(kind.size());
        }
        return {};
    }

    void ShowInformation(const std::string& text) override { log.push_back("info: " + text); }
    void ShowError(const std::string& text) override { log.push_back("error: " + text); }
    engine::Answer AskYesNo(const std::string& question) override {
        log.push_back("ask: " + question);
        return answer;
    }
    void SelectAll() override {
        log.push_back("select all");
        list.selected.assign(list.items.size(), true);
    }
    std::error_code WriteScript(platform::HeldFile& file, const platform::HeldFolder& folder,
                                const std::string& name, const std::string& path,
                                std::string_view bytes) override {
        log.push_back("write: " + path);
        if (writeFailure)
            return std::make_error_code(*writeFailure);
        written = bytes;
        return TRunSurroundings::WriteScript(file, folder, name, path, bytes);
    }
    bool StartScript(const engine::ScriptLaunch& launch,
                     std::function<void(const engine::ScriptOutcome&)> onEnd) override {
        log.push_back("start: " + launch.script.Path() + " in " + launch.folder.Path());
        stampCalls = launch.stampCalls;
        environment = launch.environment;
        if (!canStart)
            return false;
        if (mode_ == Script::Hold) {
            ended = std::move(onEnd);
            return true;
        }
        if (RunProcess(platform::ScriptStart(launch.script, launch.folder, launch.environment),
                       script))
            return false;
        onEnd(Tally(script));
        return true;
    }
    void Beep() override { log.push_back("beep"); }
    std::error_code DeleteScript(platform::HeldFile& file) override {
        log.push_back("delete: " + file.Path());
        if (!canDelete)
            return std::make_error_code(std::errc::permission_denied);
        return TRunSurroundings::DeleteScript(file);
    }

private:
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

    Script mode_;
};

} // namespace test
