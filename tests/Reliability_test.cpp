// Hostile names and faults through the whole chain: the window's run, the script, Stamplet.
// Every case either stamps exactly its intended target or is refused clearly, and no file's
// contents change.

#include "FormFixture.h"

#include "platform/Process.h"
#include "window/WindowText.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace test;

/// Every file's contents under `folder`, by name.
std::map<std::string, std::string> Contents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            contents[entry.path().string()] = ReadAll(entry.path());
    return contents;
}

int Shell(const std::string& command) {
    platform::ProgramRun run;
    if (platform::RunProgram("/bin/sh", {"-c", command}, "", {}, run))
        return -1;
    return run.exitStatus;
}

bool IsRoot() {
    return Shell("[ \"$(id -u)\" = 0 ]") == 0;
}

/// Makes a folder or file immutable for the lifetime of this object, where the file system can.
class Immutable {
public:
    explicit Immutable(std::filesystem::path path) : path_(std::move(path)) {
        set_ = Shell("chattr +i '" + path_.string() + "' 2>/dev/null") == 0;
    }
    ~Immutable() {
        if (set_)
            Shell("chattr -i '" + path_.string() + "'");
    }
    bool set() const { return set_; }

private:
    std::filesystem::path path_;
    bool set_ = false;
};

class ReliabilityTest : public TForm1Test {
protected:
    void RunAndWait(TForm1& window) {
        window.DoItBtn->click();
        window.StampConsole()->WaitForEnd();
        QApplication::processEvents();
    }
};

// Guards the quoting of every hostile name: each target gets exactly its source's time, no other
// file changes, nothing's contents change.
TEST_F(ReliabilityTest, HostileNamesStampExactlyTheirTargets) {
    const std::vector<std::string> stems = {
        "a b",
        "say \"hi\"",
        "it's",
        "$HOME",
        "`id`",
        "50%off",
        "semi;colon",
        "a&b",
        "bang!",
        "-lead",
        "new\nline",
        "\xff\xfe bytes",
        std::string(251, 'n'),
    };
    long long when = 1105790407;
    // Whole seconds: the script hands the times over to the second.
    for (const char* source : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / source, when);
    for (const std::string& stem : stems) {
        folder.Write(stem + ".avi", "source " + stem);
        folder.Write(stem + ".wmv", "target " + stem);
        SetLastWrite(folder.path() / (stem + ".avi"), when += 3600);
    }
    const auto before = Contents(folder.path());

    TForm1& window = OpenInFolder();
    RunAndWait(window);
    for (const std::string& stem : stems)
        EXPECT_EQ(std::filesystem::last_write_time(folder.path() / (stem + ".wmv")),
                  std::filesystem::last_write_time(folder.path() / (stem + ".avi")))
            << stem;
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "clip01.wmv"),
              std::filesystem::last_write_time(folder.path() / "clip01.avi"));
    EXPECT_EQ(Contents(folder.path()), before);
    // A name with a line break splits Stamplet's report, so it counts as neither success nor
    // failure: the run still ends in M7.
    EXPECT_EQ(log.back(), "info: " + Box(engine::messages::kDone))
        << window.StampConsole()->Output().toStdString();
}

// Guards the wildcard names: a source whose stem holds * or ? is refused before anything is
// written; a ? typed into the pattern keeps its meaning.
TEST_F(ReliabilityTest, WildcardsInSourceNamesAreRefused) {
    folder.Write("a*.avi", "x");
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " +
                                             Box(engine::messages::SourceNameIsMask("a*.avi"))}));
    EXPECT_FALSE(window.StampConsole()->IsRunning());
    EXPECT_EQ(Contents(folder.path()).size(), 6u) << "no script was written";

    std::filesystem::remove(folder.path() / "a*.avi");
    window.Filter->setEditText("*.wmv");
    window.ToNameEdit->setText("clip0?.wmv");
    const auto before = std::filesystem::last_write_time(folder.path() / "clip02.wmv");
    log.clear();
    RunAndWait(window);
    EXPECT_NE(window.StampConsole()->Output().indexOf("File clip02.wmv date/time changed"), -1)
        << "the typed ? matched the targets";
    EXPECT_NE(std::filesystem::last_write_time(folder.path() / "clip02.wmv"), before);
}

// Guards the faults around the targets: a missing one, a read-only one and (as root) an
// immutable one are reported in the console and counted in the closing warning; nothing else
// changes.
TEST_F(ReliabilityTest, TargetsThatCannotBeStamped) {
    std::filesystem::remove(folder.path() / "clip02.wmv");
    folder.Write("clip03.avi", "x");
    folder.Write("clip03.wmv", "y");
    std::filesystem::permissions(folder.path() / "clip01.wmv", std::filesystem::perms::owner_read);
    const Immutable locked(folder.path() / "clip03.wmv");
    const auto before = Contents(folder.path());

    TForm1& window = OpenInFolder();
    RunAndWait(window);
    const std::string output = window.StampConsole()->Output().toStdString();
    EXPECT_NE(output.find("No files found."), std::string::npos);
    EXPECT_NE(output.find("Cannot change date/time of clip01.wmv -- file ignored"),
              std::string::npos);
    const unsigned refused = locked.set() ? 4 : 2;
    EXPECT_EQ(log.back(), "info: " + Box(engine::messages::NotAllStamped(true, locked.set() ? 0 : 2,
                                                                         refused, 2)));
    EXPECT_EQ(Contents(folder.path()), before);
}

// Guards the faults around the list: a source removed after the listing (M5), the list folder
// removed while shown (M5, then an empty list), a folder where the script cannot be created.
TEST_F(ReliabilityTest, FaultsAroundTheList) {
    TForm1& window = OpenInFolder();
    std::filesystem::remove(folder.path() / "clip02.avi");
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "info: " + Box(engine::messages::TimesUnreadable("clip02.avi"))}));

    const std::string script =
        (folder.path() / (folder.path().filename().string() + " FileDateAndTime File.sh")).string();
    {
        std::filesystem::remove(folder.path() / "clip01.avi");
        folder.Write("clip01.avi");
        window.FileList->ReadFolder();
        window.FileList->selectAll();
        const Immutable locked(folder.path());
        if (locked.set() || !IsRoot()) {
            if (!locked.set())
                std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::owner_exec);
            log.clear();
            window.DoItBtn->click();
            EXPECT_EQ(log, (std::vector<std::string>{"error: Cannot create file " + script}));
            EXPECT_FALSE(window.StampConsole()->IsRunning());
            std::error_code ignored;
            std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all, ignored);
        }
    }

    std::filesystem::remove_all(folder.path());
    log.clear();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "info: " + Box(engine::messages::TimesUnreadable("clip01.avi"))}));
    window.Filter->setEditText("*.*");
    EXPECT_EQ(window.FileList->count(), 0);
    log.clear();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " + Box(engine::messages::EmptyList("*.*"))}));
}

// Guards the disk that fills while the script is written (a small tmpfs, as root): nothing is
// started and no partial script or temporary file is left.
TEST_F(ReliabilityTest, DiskFullWhileWritingTheScript) {
    if (!IsRoot())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::filesystem::path small = folder.path() / "small";
    std::filesystem::create_directory(small);
    if (Shell("mount -t tmpfs -o size=64k tmpfs '" + small.string() + "'") != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    struct Unmount {
        std::string point;
        ~Unmount() { Shell("umount '" + point + "'"); }
    } unmount{small.string()};

    for (int i = 0; i < 400; ++i)
        std::ofstream(small / ("clip" + std::to_string(1000 + i) + ".avi"));
    // Fill what is left but a few kilobytes: the script for 400 files needs far more.
    Shell("dd if=/dev/zero of='" + (small / "filler").string() + "' bs=1k count=1000 2>/dev/null");
    Shell("truncate -s -8k '" + (small / "filler").string() + "'");
    const auto before = Contents(small);

    TForm1& window = Open({(small / "clip1000.avi").string()});
    window.DoItBtn->click();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log.front(),
              "error: " + std::make_error_code(std::errc::no_space_on_device).message());
    EXPECT_FALSE(window.StampConsole()->IsRunning());
    EXPECT_EQ(Contents(small), before) << "no script and no temporary file were left";
}

} // namespace

namespace {

// Guards the running script: a second run is refused, a close asks and, when told to wait,
// waits for the script's end before the run finishes and the script is deleted.
TEST_F(ReliabilityTest, ScriptStillRunning) {
    test::TempFolder programs;
    // A Stamplet that takes its time, so the script is still running when the test acts.
    std::ofstream(programs.path() / "Stamplet") << "#!/bin/sh\nsleep 1\n";
    std::filesystem::permissions(programs.path() / "Stamplet", std::filesystem::perms::owner_all);

    TForm1::Setup setup;
    setup.arguments = {(folder.path() / "clip01.avi").string()};
    setup.settingsPath = (settings.path() / "Kronalo.dat").string();
    setup.dialogs = std::make_unique<RecordingDialogs>(
        log, std::deque<engine::Answer>{engine::Answer::No, engine::Answer::Yes});
    setup.programFolder = programs.str() + "/";
    form = std::make_unique<TForm1>(std::move(setup));
    form->show();
    QApplication::processEvents();

    form->DoItBtn->click();
    ASSERT_TRUE(form->StampConsole()->IsRunning());
    form->DoItBtn->click();
    const std::string script =
        (folder.path() / (folder.path().filename().string() + " FileDateAndTime File.sh")).string();
    EXPECT_FALSE(form->close()) << "No keeps the window open";
    EXPECT_TRUE(std::filesystem::exists(script)) << "a running script is never deleted";
    EXPECT_TRUE(form->close()) << "Yes waits for the script, then closes";
    EXPECT_FALSE(form->StampConsole()->IsRunning());
    EXPECT_FALSE(std::filesystem::exists(script));
    EXPECT_EQ(log, (std::vector<std::string>{
                       "info: " + Box(engine::messages::kScriptWritten),
                       "info: " + Box(window::text::kRunStillGoing),
                       "ask: " + Box(window::text::kWaitBeforeClosing),
                       "ask: " + Box(window::text::kWaitBeforeClosing),
                       "info: " + Box(engine::messages::kDone),
                   }));
}

// Guards the minimum size: bounds from the settings file are applied, but never below 420 x 240.
TEST_F(ReliabilityTest, SettingsKeepTheMinimumSize) {
    std::ofstream(settings.path() / "Kronalo.dat", std::ios::binary)
        << "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n100\r\n10\r\n20\r\n100\r\n50\r\n";
    TForm1& window = Open({});
    EXPECT_EQ(window.pos(), QPoint(10, 20));
    EXPECT_EQ(window.size(), QSize(420, 240));
    EXPECT_TRUE(log.empty());
}

} // namespace
