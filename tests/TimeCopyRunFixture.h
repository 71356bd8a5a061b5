#pragma once

// A list folder with three sources, a program folder with a Stamplet, and the time-copy run's
// steps taken up to the start of its script.

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"
#include "tests/support/WholeRun.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
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

    /// Takes the run's steps up to the start of its script (see WholeRun::Start); `boxes` holds
    /// only this run's.
    RunEnd Run(bool yes = true) {
        boxes.clear();
        return whole.Start({programFolder, *script, zone}, yes);
    }

    /// The verdict once the started script has ended with `outcome`; the script is deleted then.
    std::string End(const ScriptOutcome& outcome) {
        const std::string verdict = whole.End(outcome);
        EXPECT_EQ(whole.LastBox(), verdict) << "the script is deleted";
        return verdict;
    }

    std::string ScriptPath() const { return script->ScriptPath(folder.str()); }

    test::TempFolder folder;
    test::TempFolder programs;
    engine::FixedZone zone{0};
    std::unique_ptr<engine::StampScript> script = engine::MakeShellScript();
    std::string programFolder = programs.str() + "/";

    WholeRun whole;
    engine::RunRequest& request = whole.request;
    std::vector<std::string>& boxes = whole.boxes;
    std::optional<engine::StartedRun>& run = whole.run;
    std::string& written = whole.written;
    std::size_t& stampCalls = whole.stampCalls;
    engine::ScriptEnvironment& environment = whole.environment;
};

} // namespace test
