#pragma once

// A list folder with three sources, a program folder with a Stamplet, and surroundings that
// record the run.

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"
#include "tests/support/TestSurroundings.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace test {

using engine::Answer;
using engine::RunEnd;
using engine::ScriptOutcome;

class TimeCopyRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"clip01.avi", "clip02.avi", "clip03.avi"})
            test::SetLastWrite(folder.Write(name, "video"), 1141740309); // 2006-03-07 14:05:09 UTC
        programs.Write("Stamplet");
        programs.Write("Stamplet.exe");
        fake.list.folder = folder.str();
        fake.list.items = {"clip01.avi", "clip02.avi", "clip03.avi"};
        fake.list.selected = {true, false, true};
    }

    RunEnd Run() {
        return engine::RunTimeCopy(fake, {programFolder, *script, zone}, fake.Request());
    }
    std::string ScriptPath() const { return script->ScriptPath(folder.str()); }

    test::TempFolder folder;
    test::TempFolder programs;
    engine::FixedZone zone{0};
    std::unique_ptr<engine::StampScript> script = engine::MakeShellScript();
    std::string programFolder = programs.str() + "/";
    TestSurroundings fake;
};

} // namespace test
