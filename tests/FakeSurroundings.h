#pragma once

// The run's surroundings as a recording double, and a list folder with three sources.

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/StampFormat.h"
#include "engine/TimeCopyRun.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace test {

using engine::Answer;
using engine::RunEnd;
using engine::ScriptOutcome;

/// Surroundings that record every call in order and keep the script's end for the test to call.
class FakeSurroundings : public engine::TRunSurroundings {
public:
    engine::ListState list;
    engine::FieldTexts fields{"*.wmv", "*.avi"};
    Answer answer = Answer::Yes;
    bool canStart = true;
    bool canDelete = true;
    std::optional<platform::WriteStage> writeFailure;

    std::vector<std::string> log;
    std::string written;
    std::size_t stampCalls = 0;
    std::function<void(const ScriptOutcome&)> ended;

    void ShowInformation(const std::string& text) override { log.push_back("info: " + text); }
    void ShowError(const std::string& text) override { log.push_back("error: " + text); }
    Answer AskYesNo(const std::string& question) override {
        log.push_back("ask: " + question);
        return answer;
    }
    void SelectAll() override {
        log.push_back("select all");
        list.selected.assign(list.items.size(), true);
    }
    engine::ListState ReadList() override { return list; }
    engine::FieldTexts ReadFields() override { return fields; }
    std::error_code WriteScript(const std::string& path, std::string_view bytes,
                                platform::WriteStage& stage) override {
        log.push_back("write: " + path);
        if (writeFailure) {
            stage = *writeFailure;
            return std::make_error_code(std::errc::no_space_on_device);
        }
        written = bytes;
        return TRunSurroundings::WriteScript(path, bytes, stage);
    }
    bool StartScript(const std::string& path, const std::string& folder, std::size_t calls,
                     std::function<void(const ScriptOutcome&)> onEnd) override {
        log.push_back("start: " + path + " in " + folder);
        stampCalls = calls;
        if (!canStart)
            return false;
        ended = std::move(onEnd);
        return true;
    }
    void Beep() override { log.push_back("beep"); }
    bool DeleteScript(const std::string& path) override {
        log.push_back("delete: " + path);
        return canDelete && TRunSurroundings::DeleteScript(path);
    }
};

/// A list folder with source files and the run's fixed context.
class TimeCopyRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"clip01.avi", "clip02.avi", "clip03.avi"})
            test::SetLastWrite(folder.Write(name, "video"), 1141740309); // 2006-03-07 14:05:09 UTC
        fake.list.folder = folder.str();
        fake.list.items = {"clip01.avi", "clip02.avi", "clip03.avi"};
        fake.list.selected = {true, false, true};
    }

    RunEnd Run() { return engine::RunTimeCopy(fake, {programFolder, *script, zone}); }
    std::string ScriptPath() const { return script->ScriptPath(folder.str()); }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    engine::FixedZone zone{0};
    std::unique_ptr<engine::StampScript> script = engine::MakeShellScript();
    std::string programFolder = "/opt/kronalo/";
    FakeSurroundings fake;
};

} // namespace test
