#pragma once

#include "engine/StampTally.h"
#include "engine/TimeCopyRun.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "platform/Process.h"

#include <string>

namespace test {

/// Surroundings of a real run: the list is every .avi file of a folder, all selected, and the
/// script runs to its end under the system's command interpreter before StartScript returns.
/// Messages are collected.
class ScriptRunSurroundings final : public engine::TRunSurroundings {
public:
    /// `folder` as the system's file calls take it.
    ScriptRunSurroundings(std::string folder, std::string pattern)
        : folder_(std::move(folder)), pattern_(std::move(pattern)) {}

    std::vector<std::string> messages;
    platform::ProgramRun script;

    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void ShowError(const std::string& text) override { messages.push_back(text); }
    engine::Answer AskYesNo(const std::string&) override { return engine::Answer::Yes; }
    void SelectAll() override {}
    engine::ListState ReadList() override {
        engine::ListState list;
        list.folder = folder_;
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        const std::string mask = folder_ + platform::FolderSeparators()[0] + "*.avi";
        for (bool found = !search.First(mask, entry); found; found = search.Next(entry)) {
            if (!entry.folder)
                list.items.push_back(entry.name);
        }
        list.selected.assign(list.items.size(), true);
        return list;
    }
    engine::FieldTexts ReadFields() override { return {pattern_, "*.avi"}; }
    bool StartScript(const std::string& path, const std::string& folder, std::size_t,
                     std::function<void(const engine::ScriptOutcome&)> ended) override {
        const std::vector<std::string> command = platform::ScriptCommand(path);
        if (platform::RunProgram(command.front(), {command.begin() + 1, command.end()}, folder, {},
                                 script))
            return false;
        engine::ScriptOutcome outcome;
        outcome.finished = script.exitStatus == 0;
        std::size_t start = 0;
        while (start < script.out.size()) {
            const std::size_t end = script.out.find('\n', start);
            engine::TallyStampOutputLine(std::string_view(script.out).substr(start, end - start),
                                         outcome);
            start = end == std::string::npos ? script.out.size() : end + 1;
        }
        ended(outcome);
        return true;
    }
    void Beep() override {}

private:
    std::string folder_;
    std::string pattern_;
};

} // namespace test
