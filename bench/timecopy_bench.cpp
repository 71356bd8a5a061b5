// The engine's whole time-copy run over every .avi file of a folder, for the side-by-side
// measurements: `timecopy_bench FOLDER script` reads the sources' times and writes the stamp
// script; `timecopy_bench FOLDER run` also runs it with the system's command interpreter.

#include "engine/Messages.h"
#include "engine/StampScript.h"
#include "engine/TimeCopyRun.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "platform/Process.h"
#include "platform/ProgramPath.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

class BenchSurroundings final : public engine::TRunSurroundings {
public:
    BenchSurroundings(std::string folder, bool run) : folder_(std::move(folder)), run_(run) {}

    int failures = 0;

    void ShowInformation(const std::string& text) override {
        if (text == engine::messages::kScriptWritten || text == engine::messages::kDone)
            return;
        ++failures;
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void ShowError(const std::string& text) override {
        ++failures;
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    engine::Answer AskYesNo(const std::string&) override { return engine::Answer::Yes; }
    void SelectAll() override {}
    engine::ListState ReadList() override {
        engine::ListState list;
        list.folder = folder_;
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        for (bool found = !search.First("*.avi", entry); found; found = search.Next(entry))
            list.items.push_back(entry.name);
        list.selected.assign(list.items.size(), true);
        return list;
    }
    engine::FieldTexts ReadFields() override { return {"*.wmv", "*.avi"}; }
    bool StartScript(const std::string& path, const std::string& folder, std::size_t,
                     std::function<void(const engine::ScriptOutcome&)> ended) override {
        engine::ScriptOutcome outcome;
        if (run_) {
            const std::vector<std::string> command = platform::ScriptCommand(path);
            platform::ProgramRun result;
            if (platform::RunProgram(command.front(), {command.begin() + 1, command.end()}, folder,
                                     {}, result))
                return false;
            outcome.cannotChange = result.exitStatus == 0 ? 0 : 1;
        }
        ended(outcome);
        return true;
    }
    void Beep() override {}

private:
    std::string folder_;
    bool run_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[2], "script") != 0 && std::strcmp(argv[2], "run") != 0)) {
        std::fprintf(stderr, "usage: timecopy_bench FOLDER script|run\n");
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    std::string programFolder;
    platform::ExecutableFolder(programFolder);
    const auto script = engine::MakeStampScript(platform::NativeCommandShell());
    BenchSurroundings surroundings(std::filesystem::current_path().string(),
                                   std::strcmp(argv[2], "run") == 0);
    const engine::RunEnd end = engine::RunTimeCopy(surroundings, {programFolder, *script});
    return end == engine::RunEnd::Started && surroundings.failures == 0 ? 0 : 1;
}
