#pragma once

// A list folder with three sources, a program folder with a Stamplet, and the time-copy run's
// steps taken one by one up to the start of its script.

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace test {

using engine::RunEnd;
using engine::ScriptOutcome;

class TimeCopyRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"clip01.avi", "clip02.avi", "clip03.avi"})
            test::SetLastWrite(folder.Write(name, "video"), 1141740309); // 2006-03-07 14:05:09 UTC
        programs.Write("Stamplet");
        programs.Write("Stamplet.exe");
        request.list = {
            folder.str(), {"clip01.avi", "clip02.avi", "clip03.avi"}, {true, false, true}};
    }

    /// Takes the run's steps up to the start of its script: prepared (where nothing is selected,
    /// `yes` answers the question), written, launched. `boxes` gets the text of every box a step
    /// gave ("ask: " before a question); `run` keeps a run that reached its start.
    RunEnd Run(bool yes = true) {
        boxes.clear();
        const engine::RunContext context{programFolder, *script, zone};
        engine::Prepared prepared = engine::PrepareTimeCopy(context, request);
        if (const auto* question = std::get_if<engine::Question>(&prepared)) {
            boxes.push_back("ask: " + question->text);
            if (!yes)
                return RunEnd::Stopped;
            request.list.selected.assign(request.list.items.size(), true);
            prepared = engine::PrepareTimeCopy(context, request);
        }
        if (const auto* stop = std::get_if<engine::Box>(&prepared)) {
            boxes.push_back(stop->text);
            return RunEnd::Stopped;
        }
        run = std::move(std::get<std::unique_ptr<engine::ScriptRun>>(prepared));
        const engine::Box written = engine::WriteScript(*run, context);
        boxes.push_back(written.text);
        if (written.kind == engine::Box::Kind::Error)
            return RunEnd::NotWritten;
        auto launch = engine::LaunchOf(*run, context);
        if (const auto* why = std::get_if<engine::Box>(&launch)) {
            boxes.push_back(why->text);
            return RunEnd::NotStarted;
        }
        stampCalls = std::get<engine::ScriptLaunch>(launch).stampCalls;
        environment = std::get<engine::ScriptLaunch>(launch).environment;
        this->written = test::ReadAll(folder.path() / run->scriptName);
        return RunEnd::Started;
    }

    /// The verdict once the started script has ended with `outcome`; the script is deleted then.
    std::string End(const ScriptOutcome& outcome) {
        const std::string verdict = engine::Judge(*run, outcome).text;
        EXPECT_EQ(engine::DeleteScript(*run), std::nullopt);
        run.reset();
        return verdict;
    }

    std::string ScriptPath() const { return script->ScriptPath(folder.str()); }

    test::TempFolder folder;
    test::TempFolder programs;
    engine::FixedZone zone{0};
    std::unique_ptr<engine::StampScript> script = engine::MakeShellScript();
    std::string programFolder = programs.str() + "/";
    engine::RunRequest request{{}, {"*.wmv", "*.avi"}};

    std::vector<std::string> boxes;
    std::unique_ptr<engine::ScriptRun> run;
    std::string written;
    std::size_t stampCalls = 0;
    engine::ScriptEnvironment environment;
};

} // namespace test
