// The one owner of a window's runs under a recording view: a run taken along its chain as a
// window takes it, with the real script and Stamplet, its order and the cleanup of each ending.

#include "form/RunOwner.h"

#include "engine/Messages.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/ProgramPath.h"

#include "FakeView.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using test::FakeView;

/// A zone whose offset moves an hour east once it has been asked `after` times.
class MovingZone final : public engine::Zone {
public:
    explicit MovingZone(int after) : after_(after) {}
    std::optional<std::int32_t> OffsetNow() const override { return asked_++ < after_ ? 0 : 3600; }

private:
    int after_;
    mutable int asked_ = 0;
};

/// A system that cannot hold the script's processes to the run's offset, as Windows.
bool NoOffsetHold(std::int32_t, engine::ScriptEnvironment&) {
    return false;
}

constexpr long long kSource = 1105790407, kTarget = 946684800;

class RunOwnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(platform::ExecutableFolder(programFolder));
        for (const char* stem : {"clip01", "clip02"}) {
            test::SetLastWrite(folder.Write(stem + std::string(".avi"), "source"), kSource);
            test::SetLastWrite(folder.Write(stem + std::string(".wmv"), "target"), kTarget);
        }
    }

    engine::RunRequest Request(const std::vector<std::string>& items,
                               const std::string& pattern = "*.wmv") const {
        return {{folder.str(), items, std::vector<bool>(items.size(), true)}, {pattern, "*.avi"}};
    }

    engine::RunContext Context() const {
        engine::RunContext context{programFolder, *script, zone ? *zone : engine::MachineZone(),
                                   &records};
        if (!holdsOffset)
            context.holdOffset = NoOffsetHold;
        return context;
    }

    /// Handles what the console posts until no script runs and nothing waits to be handled.
    bool HandleUntilIdle() {
        for (int i = 0; i < 2000; ++i) {
            view.RunPosted();
            const std::lock_guard<std::mutex> hold(view.lock);
            if (!owner.Console().IsRunning() && view.posted.empty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    platform::FileTime LastWrite(const std::string& name) const {
        platform::FileTimeSet times;
        return platform::StatFileTimes((folder.path() / name).string(), times) ? 0
                                                                               : times.lastWrite;
    }
    static platform::FileTime At(long long seconds) {
        return platform::kUnixEpochFileTime +
               static_cast<platform::FileTime>(seconds) * platform::kFileTimeTicksPerSecond;
    }

    /// The entries of `folder` whose names end as the stamp script's do.
    static int Scripts(const test::TempFolder& in) {
        int scripts = 0;
        for (const auto& entry : std::filesystem::directory_iterator(in.path()))
            scripts += entry.path().string().find("FileDateAndTime File") != std::string::npos;
        return scripts;
    }

    /// How many records the runs left.
    int Records() const {
        return static_cast<int>(
            std::distance(std::filesystem::directory_iterator(recordFolder.path()),
                          std::filesystem::directory_iterator()));
    }

    test::TempFolder folder, recordFolder;
    engine::RunRecords records{recordFolder.str()};
    std::unique_ptr<engine::StampScript> script =
        engine::MakeStampScript(platform::NativeCommandShell());
    std::string programFolder;
    const engine::Zone* zone = nullptr;
    bool holdsOffset = true;
    FakeView view;
    form::RunOwner owner{view};
};

bool IsVerdict(const std::string& line) {
    return line.starts_with("info: VALMIS!") || line.starts_with("info: VAROITUS!");
}

// Guards the owner's hold on a run from its start to its verdict: a second run started from the
// first one's final box gets a verdict of its own, after the first's, and no script is left, nor
// is one there when the window is first told of the end (a lost display ends the process there).
TEST_F(RunOwnerTest, SecondRunFromTheFinalBox) {
    view.onBeep = [&] { EXPECT_EQ(Scripts(folder), 0) << "deleted before the window is touched"; };
    bool again = true;
    view.onInformation = [&](const std::string& text) {
        if (again && text.starts_with(engine::messages::kDone)) {
            again = false;
            EXPECT_EQ(owner.TimeCopy(Context(), Request({"clip02.avi"})), engine::RunEnd::Started);
        }
    };
    ASSERT_EQ(owner.TimeCopy(Context(), Request({"clip01.avi"})), engine::RunEnd::Started);
    ASSERT_TRUE(HandleUntilIdle());
    std::vector<std::string> verdicts;
    std::copy_if(view.log.begin(), view.log.end(), std::back_inserter(verdicts), IsVerdict);
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_TRUE(verdicts[1].starts_with(std::string("info: ") + engine::messages::kDone));
    EXPECT_EQ(LastWrite("clip02.wmv"), At(kSource)) << "the second run stamped";
    EXPECT_EQ(Scripts(folder), 0) << "both scripts are deleted";
    EXPECT_EQ(owner.DropUnfinished(), 0u);
}

// Guards the hand-over of a started run: where its record cannot be marked, the error box's own
// event loop may handle the script's end, and the end still finds its run and judges it.
TEST_F(RunOwnerTest, ScriptEndsWhileItsStartIsTold) {
    view.onInformation = [&](const std::string& text) {
        if (text != engine::messages::kScriptWritten)
            return;
        // The record becomes a folder: marking the run begun fails.
        for (const auto& entry : std::filesystem::directory_iterator(recordFolder.path())) {
            std::filesystem::remove(entry.path());
            std::filesystem::create_directory(entry.path());
        }
    };
    view.onError = [&](const std::string&) { EXPECT_TRUE(HandleUntilIdle()); };
    ASSERT_EQ(owner.TimeCopy(Context(), Request({"clip01.avi"})), engine::RunEnd::Started);
    ASSERT_TRUE(HandleUntilIdle());
    ASSERT_FALSE(view.log.empty());
    EXPECT_TRUE(view.log.back().starts_with(std::string("info: ") + engine::messages::kDone))
        << "the run was judged";
    EXPECT_EQ(Scripts(folder), 0);
    EXPECT_EQ(owner.DropUnfinished(), 0u);
}

// Guards a process that ends from a box's event loop, as on a lost display or a signal, before
// the console holds the run: the script goes at once, and the record with it where the script
// never started; a started one keeps its record, for the targets it may yet stamp.
TEST_F(RunOwnerTest, ProcessEndsBeforeTheRunIsHeld) {
    const struct {
        const char* what;
        bool started;
        int records; ///< Left once the process has ended.
    } rows[] = {{"while the script-written box waits", false, 0},
                {"while the console first shows", true, 1}};
    for (const auto& row : rows) {
        std::size_t dropped = 0;
        int scripts = -1, records = -1;
        const auto end = [&] {
            dropped = owner.DropUnfinished();
            scripts = Scripts(folder);
            records = Records();
        };
        view.onInformation = [&](const std::string& text) {
            if (!row.started && text == engine::messages::kScriptWritten)
                end();
        };
        view.console.onBegin = [&] {
            if (row.started)
                end();
        };
        view.confirm = row.started;
        owner.TimeCopy(Context(), Request({"clip01.avi"}));
        EXPECT_EQ(dropped, 1u) << row.what;
        EXPECT_EQ(scripts, 0) << row.what;
        EXPECT_EQ(records, row.records) << row.what;
        ASSERT_TRUE(HandleUntilIdle()) << row.what;
        EXPECT_EQ(Scripts(folder), 0) << row.what;
    }
}

// Guards the restore's offers: with two recorded runs, No to the newer one moves on to the
// earlier, Yes takes it back; No to both takes nothing back.
TEST_F(RunOwnerTest, RestoreOffersNewestFirst) {
    const struct {
        const char* what;
        std::deque<form::Answer> answers;
        long long clip01, clip02;
    } rows[] = {
        {"No, then Yes", {form::Answer::No, form::Answer::Yes}, kTarget, kSource},
        {"No, then No", {form::Answer::No, form::Answer::No}, kSource, kSource},
    };
    for (const auto& row : rows) {
        for (const char* stem : {"clip01", "clip02"})
            test::SetLastWrite(folder.path() / (stem + std::string(".wmv")), kTarget);
        std::filesystem::remove_all(recordFolder.path());
        for (const char* source : {"clip01.avi", "clip02.avi"}) {
            ASSERT_EQ(owner.TimeCopy(Context(), Request({source})), engine::RunEnd::Started);
            ASSERT_TRUE(HandleUntilIdle());
        }
        view.log.clear();
        view.answers = row.answers;
        owner.Restore(Context(), folder.str(), records);
        ASSERT_TRUE(HandleUntilIdle());
        ASSERT_GE(view.log.size(), 2u) << row.what;
        EXPECT_TRUE(view.log[0].starts_with("ask: ")) << row.what;
        EXPECT_TRUE(view.log[1].starts_with("ask: ")) << row.what << ": the earlier run is offered";
        EXPECT_EQ(LastWrite("clip01.wmv"), At(row.clip01)) << row.what;
        EXPECT_EQ(LastWrite("clip02.wmv"), At(row.clip02)) << row.what;
    }
}

// Guards the script's own name: a target pattern that leads to the script through "./" or through
// the list folder's parent is refused before anything is written.
TEST_F(RunOwnerTest, PatternsNamingTheScript) {
    const std::string scriptName = script->ScriptName(folder.str());
    const std::string stem = scriptName.substr(0, scriptName.find(' '));
    const std::string ending = scriptName.substr(stem.size());
    folder.Write(stem + ".avi", "source");
    const std::string last = folder.path().filename().string();
    const std::string sep(1, platform::FolderSeparators()[0]);
    for (const std::string& pattern :
         {"." + sep + "*" + ending, ".." + sep + last + sep + "*" + ending}) {
        view.log.clear();
        EXPECT_EQ(owner.TimeCopy(Context(), Request({stem + ".avi"}, pattern)),
                  engine::RunEnd::Stopped)
            << pattern;
        ASSERT_EQ(view.log.size(), 1u) << pattern;
        EXPECT_TRUE(view.log[0].starts_with("info: VIRHE! Kohdetiedostolla ei saa olla samaa"))
            << pattern << ": " << view.log[0];
        EXPECT_EQ(Scripts(folder), 0) << pattern;
    }
}

// Guards Peruuta in the script-written box: nothing starts, the script is deleted, no record is
// kept and nothing is stamped.
TEST_F(RunOwnerTest, DeclinedAfterThePreview) {
    view.confirm = false;
    EXPECT_EQ(owner.TimeCopy(Context(), Request({"clip01.avi"})), engine::RunEnd::Declined);
    EXPECT_EQ(view.log,
              std::vector<std::string>{std::string("info: ") + engine::messages::kScriptWritten});
    EXPECT_FALSE(owner.Console().IsRunning());
    EXPECT_EQ(Scripts(folder), 0);
    EXPECT_EQ(Records(), 0);
    EXPECT_EQ(LastWrite("clip01.wmv"), At(kTarget));
}

// Guards what a run that never started leaves: the zone's offset moved while the script-written
// box was up, on a system that cannot hold the script to the run's offset; the script is deleted,
// the record removed, nothing stamped.
TEST_F(RunOwnerTest, ZoneMovedBeforeTheStart) {
    const MovingZone moving(1);
    zone = &moving;
    holdsOffset = false;
    EXPECT_EQ(owner.TimeCopy(Context(), Request({"clip01.avi"})), engine::RunEnd::NotStarted);
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back(), std::string("info: ") + engine::messages::kZoneChanged);
    EXPECT_EQ(Scripts(folder), 0);
    EXPECT_EQ(Records(), 0) << "a run that never started leaves no record";
    EXPECT_EQ(LastWrite("clip01.wmv"), At(kTarget));
}

} // namespace
