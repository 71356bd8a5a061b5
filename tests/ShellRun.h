#pragma once

#include "engine/StampTally.h"
#include "engine/TimeCopyRun.h"
#include "platform/Process.h"

#include <filesystem>
#include <string>

namespace test {

/// Surroundings of a real run: the list is every file of a folder, all selected, and the script
/// runs to its end under /bin/sh before StartScript returns. Messages are collected.
class ShellRunSurroundings final : public engine::TRunSurroundings {
public:
    ShellRunSurroundings(std::filesystem::path folder, std::string pattern)
        : folder_(std::move(folder)), pattern_(std::move(pattern)) {}

    std::vector<std::string> messages;
    platform::ProgramRun script;

    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void ShowError(const std::string& text) override { messages.push_back(text); }
    engine::Answer AskYesNo(const std::string&) override { return engine::Answer::Yes; }
    void SelectAll() override {}
    engine::ListState ReadList() override {
        engine::ListState list;
        list.folder = folder_.string();
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name.size() > 4 &&
                name.substr(name.size() - 4) == ".avi")
                list.items.push_back(name);
        }
        list.selected.assign(list.items.size(), true);
        return list;
    }
    engine::FieldTexts ReadFields() override { return {pattern_, "*.avi"}; }
    bool StartScript(const std::string& path, const std::string& folder, std::size_t,
                     std::function<void(const engine::ScriptOutcome&)> ended) override {
        if (platform::RunProgram("/bin/sh", {path}, folder, {}, script))
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
    std::filesystem::path folder_;
    std::string pattern_;
};

} // namespace test
