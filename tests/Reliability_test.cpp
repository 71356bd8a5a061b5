// Hostile names and faults through the whole chain: the window's run, the script, Stamplet.
// Every case either stamps exactly its intended target or is refused clearly, and no file's
// contents change.

#include "FormFixture.h"
#include "ScopedTz.h"

#include "engine/RunRecord.h"
#include "form/FormText.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/XSession_posix.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <future>
#include <map>
#include <set>
#include <thread>

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

/// The file's last-write time as the disk keeps it.
platform::FileTime LastWrite(const std::filesystem::path& file) {
    platform::FileTimeSet times;
    return platform::StatFileTimes(file.string(), times) ? 0 : times.lastWrite;
}

int Shell(const std::string& command) {
    test::ProgramRun run;
    if (test::RunProgram("/bin/sh", {"-c", command}, "", {}, run))
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
    /// A target made immutable by a row, for as long as the row wants it so.
    std::unique_ptr<Immutable> locked;

    void RunAndWait(TForm1& window) {
        window.DoItBtn->click();
        window.ScriptConsole().WaitForEnd();
        QApplication::processEvents();
    }

    /// Takes a run back through the popup menu's "Palauta aiemmat ajat..." and waits for its
    /// end; the log holds only what the restore showed.
    void RestoreAndWait(TForm1& window) {
        log.clear();
        window.PopupMenu1->findChild<QAction*>("Palautaaiemmatajat1")->trigger();
        window.ScriptConsole().WaitForEnd();
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
    // A name with a line break splits Stamplet's report; the verdict reads the targets back.
    EXPECT_EQ(log.back(), DoneOnThisDisk()) << window.StampConsole()->Output().toStdString();
}

// Guards the wildcard names: a source whose stem holds * or ? is refused before anything is
// written; a ? typed into the pattern keeps its meaning.
TEST_F(ReliabilityTest, WildcardsInSourceNamesAreRefused) {
    folder.Write("a*.avi", "x");
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " +
                                             Box(engine::messages::SourceNameIsMask("a*.avi"))}));
    EXPECT_FALSE(window.ScriptConsole().IsRunning());
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

/// The warning for a run that ended with `problems`, after `stamped` targets were stamped.
std::string Warning(unsigned stamped,
                    std::vector<std::pair<std::string, engine::TargetState>> problems) {
    engine::TargetReport report;
    report.stamped = report.creationNotKept = stamped;
    for (const auto& problem : problems)
        ++(problem.second == engine::TargetState::NotFound ? report.notFound : report.notStamped);
    report.problems = std::move(problems);
    return "info: " + Box(engine::messages::RunVerdict(true, report));
}

// Guards the verdict at every edge around the targets: a missing one, a read-only one (its name
// with a line break too), an immutable one as root, a folder, hidden targets, and a Stamplet that
// stamps nothing and says nothing. Each is named with its reason; nothing else changes.
TEST_F(ReliabilityTest, TargetsThatCannotBeStamped) {
    using engine::TargetState;
    std::filesystem::remove(folder.path() / "clip02.wmv");
    for (const char* name : {"clip03", "d", "new\nline", "e"})
        folder.Write(std::string(name) + ".avi", "x");
    // A link out of the run's folders: followed, it would stamp a file nobody chose.
    const test::TempFolder elsewhere;
    SetLastWrite(elsewhere.Write("system.conf", "z"), 946684800);
    std::filesystem::create_symlink(elsewhere.path() / "system.conf", folder.path() / "e.wmv");
    folder.Write("clip03.wmv", "y");
    folder.Write("new\nline.wmv", "y");
    std::filesystem::create_directory(folder.path() / "d.wmv");
    for (const char* name : {"clip01.wmv", "new\nline.wmv"})
        std::filesystem::permissions(folder.path() / name, std::filesystem::perms::owner_read);
    // Sources from long ago: a target written in the same second would look stamped.
    for (const char* name : {"clip01", "clip02", "clip03", "d", "new\nline", "e"})
        SetLastWrite(folder.path() / (std::string(name) + ".avi"), 1105790407);
    const Immutable locked(folder.path() / "clip03.wmv");
    const auto before = Contents(folder.path());

    TForm1& window = OpenInFolder();
    RunAndWait(window);
    std::vector<std::pair<std::string, TargetState>> problems = {
        {"clip01.wmv", TargetState::WriteTimeDiffers}, {"clip02.wmv", TargetState::NotFound}};
    if (locked.set())
        problems.emplace_back("clip03.wmv", TargetState::WriteTimeDiffers);
    problems.emplace_back("d.wmv", TargetState::Folder);
    problems.emplace_back("new\nline.wmv", TargetState::WriteTimeDiffers);
    problems.emplace_back("e.wmv", TargetState::LinkOut);
    EXPECT_EQ(log.back(), Warning(locked.set() ? 0 : 1, problems))
        << window.StampConsole()->Output().toStdString();
    EXPECT_EQ(Contents(folder.path()), before);
    EXPECT_EQ(LastWrite(elsewhere.path() / "system.conf"),
              platform::kUnixEpochFileTime + 946684800ULL * platform::kFileTimeTicksPerSecond)
        << "the file the link leads to";

    log.clear();
    window.Filter->setEditText("clip0?.avi");
    window.ToNameEdit->setText(".*.wmv");
    folder.Write(".clip01.wmv");
    RunAndWait(window);
    EXPECT_EQ(log.back(), Warning(0, {{".clip01.wmv", TargetState::Skipped},
                                      {".clip02.wmv", TargetState::NotFound},
                                      {".clip03.wmv", TargetState::NotFound}}));

    // Silence is no evidence: a Stamplet that does nothing leaves the targets as they were.
    const test::TempFolder programs;
    std::ofstream(programs.path() / "Stamplet") << "#!/bin/sh\n";
    std::filesystem::permissions(programs.path() / "Stamplet", std::filesystem::perms::owner_all);
    programFolder = programs.str() + "/";
    folder.Write("clip02.wmv");
    std::filesystem::permissions(folder.path() / "clip01.wmv", std::filesystem::perms::owner_all);
    log.clear();
    TForm1& silent = Open({(folder.path() / "clip01.avi").string()});
    silent.Filter->setEditText("clip01.avi;clip02.avi");
    RunAndWait(silent);
    EXPECT_EQ(log.back(), Warning(0, {{"clip01.wmv", TargetState::WriteTimeDiffers},
                                      {"clip02.wmv", TargetState::WriteTimeDiffers}}));
}

// Guards the user's file named like the stamp script: the run is refused before anything is
// written, and the file keeps its contents and times.
TEST_F(ReliabilityTest, TargetNamedLikeTheScript) {
    const std::string stem = folder.path().filename().string() + " FileDateAndTime File";
    folder.Write(stem + ".txt", "source");
    SetLastWrite(folder.Write(stem + ".sh", "the user's own"), 1105790407);
    const auto before = Contents(folder.path());
    TForm1& window = OpenInFolder();
    window.Filter->setEditText("*.txt");
    window.ToNameEdit->setText("*.sh");
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " +
                                             Box(engine::messages::TargetIsScript(stem + ".sh"))}));
    EXPECT_FALSE(window.ScriptConsole().IsRunning());
    EXPECT_EQ(Contents(folder.path()), before);
    platform::FileTimeSet times;
    ASSERT_FALSE(platform::StatFileTimes((folder.path() / (stem + ".sh")).string(), times));
    EXPECT_EQ(times.lastWrite,
              platform::kUnixEpochFileTime + 1105790407ULL * platform::kFileTimeTicksPerSecond);
}

// Guards the faults around the list: a source removed after the listing (its times unreadable),
// the list folder removed while shown (the folder is gone, then an empty list).
TEST_F(ReliabilityTest, FaultsAroundTheList) {
    TForm1& window = OpenInFolder();
    std::filesystem::remove(folder.path() / "clip02.avi");
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "info: " + Box(engine::messages::TimesUnreadable("clip02.avi"))}));

    std::filesystem::remove_all(folder.path());
    log.clear();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " +
                                             Box(engine::messages::ListFolderGone(folder.str()))}));
    window.Filter->setEditText("*.*");
    EXPECT_EQ(window.FileList->count(), 0);
    log.clear();
    window.DoItBtn->click();
    EXPECT_EQ(log, (std::vector<std::string>{"info: " + Box(engine::messages::EmptyList("*.*"))}));
}

// Guards a list folder that cannot take the script: immutable (as root) or without write
// permission (as any other user); the box names the script and nothing starts.
TEST_F(ReliabilityTest, ListFolderThatCannotTakeTheScript) {
    const Immutable locked(folder.path());
    if (!locked.set() && IsRoot())
        GTEST_SKIP() << "root writes into any folder, and chattr +i is not possible here";
    if (!locked.set())
        std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(
        log[0].starts_with("error: Cannot create file " + ScriptIn(folder.path()).string() + "\n"))
        << log[0];
    EXPECT_FALSE(window.ScriptConsole().IsRunning());
    std::error_code ignored;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all, ignored);
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
    // The window works in the list folder and holds it: it must let go before the unmount, or
    // the mount stays behind, busy.
    struct Unmount {
        std::function<void()> letGo;
        std::string point;
        ~Unmount() {
            letGo();
            if (Shell("umount '" + point + "'") != 0) {
                ADD_FAILURE() << "the small tmpfs could not be unmounted: " << point;
                Shell("umount -l '" + point + "'");
            }
        }
    } unmount{[this] {
                  form.reset();
                  std::filesystem::current_path(previous);
              },
              small.string()};

    for (int i = 0; i < 400; ++i)
        std::ofstream(small / ("clip" + std::to_string(1000 + i) + ".avi"));
    // Fill what is left but a few kilobytes: the script for 400 files needs far more.
    Shell("dd if=/dev/zero of='" + (small / "filler").string() + "' bs=1k count=1000 2>/dev/null");
    Shell("truncate -s -8k '" + (small / "filler").string() + "'");
    const auto before = Contents(small);

    TForm1& window = Open({(small / "clip1000.avi").string()});
    window.DoItBtn->click();
    ASSERT_EQ(log.size(), 1u);
    const std::string script = ScriptIn(small).string();
    EXPECT_EQ(log.front(), "error: Cannot create file " + script + "\n" +
                               std::make_error_code(std::errc::no_space_on_device).message());
    EXPECT_FALSE(window.ScriptConsole().IsRunning());
    EXPECT_EQ(Contents(small), before) << "no script and no temporary file were left";
}

} // namespace

namespace {

/// A Stamplet that waits for a line on a FIFO at each call, so that the script runs until the
/// test lets it go, and the hand that lets it go.
class WaitingStamplet {
public:
    /// Once let go, each call runs `then`, a shell command line.
    explicit WaitingStamplet(const std::string& then = "") {
        fifo_ = (programs_.path() / "go").string();
        called_ = programs_.path() / "called";
        Shell("mkfifo '" + fifo_ + "'");
        std::ofstream(programs_.path() / "Stamplet")
            << "#!/bin/sh\n: >> '" << called_.string() << "'\nread line < '" << fifo_ << "'\n"
            << then << "\n";
        std::filesystem::permissions(programs_.path() / "Stamplet",
                                     std::filesystem::perms::owner_all);
    }
    ~WaitingStamplet() {
        done_.set_value();
        if (release_.joinable())
            release_.join();
    }
    std::string Folder() const { return programs_.str() + "/"; }
    /// Waits until the script has made its first call; false after ten seconds without one.
    bool WaitForFirstCall() const {
        for (int i = 0; i < 1000 && !std::filesystem::exists(called_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return std::filesystem::exists(called_);
    }
    /// Lets `calls` Stamplet calls end, from another thread. The FIFO is held open until the end,
    /// so lines written for later calls stay in it.
    void Release(int calls) {
        release_ = std::thread([this, calls, done = done_.get_future()] {
            std::ofstream fifo(fifo_);
            for (int i = 0; i < calls; ++i)
                fifo << "go\n";
            fifo.flush();
            done.wait();
        });
    }

private:
    test::TempFolder programs_;
    std::string fifo_;
    std::filesystem::path called_;
    std::promise<void> done_;
    std::thread release_;
};

/// Stamplet behind a gate: every call is counted, the call numbered `at` waits until the test
/// opens the gate (a disk slowed at that moment), and every call then runs the real Stamplet.
class GatedStamplet {
public:
    explicit GatedStamplet(int at) : called_(programs_.path() / "called") {
        const std::string called = called_.string(), go = (programs_.path() / "go").string();
        std::ofstream(programs_.path() / "Stamplet")
            << "#!/bin/sh\necho >> '" << called << "'\nif [ ! -e '" << go
            << "' ] && [ \"$(wc -l < '" << called << "')\" -ge " << at
            << " ]; then\n  while [ ! -e '" << go << "' ]; do sleep 0.01; done\nfi\nexec '"
            << test::StampletBeside() << "' \"$@\"\n";
        std::filesystem::permissions(programs_.path() / "Stamplet",
                                     std::filesystem::perms::owner_all);
        at_ = at;
    }
    ~GatedStamplet() { Open(); }
    std::string Folder() const { return programs_.str() + "/"; }
    /// The calls made so far.
    int Calls() const {
        const std::string called = test::ReadAll(called_);
        return static_cast<int>(std::count(called.begin(), called.end(), '\n'));
    }
    /// Waits until the call at the gate has been made; false where it never is.
    bool WaitAtTheGate() const {
        return test::WaitUntil([this] { return Calls() >= at_; });
    }
    void Open() const { std::ofstream(programs_.path() / "go").close(); }

private:
    test::TempFolder programs_;
    std::filesystem::path called_;
    int at_ = 0;
};

// Guards the running script: a second run is refused, a close asks and, when told to wait,
// waits for the script's end before the run finishes and the script is deleted; a window torn
// down while its script runs waits for it, deletes the script and does not crash.
TEST_F(ReliabilityTest, ScriptStillRunning) {
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    const std::string script = ScriptIn(folder.path()).string();
    {
        WaitingStamplet stamplet;
        programFolder = stamplet.Folder();
        OpenInFolder({form::Answer::No, form::Answer::Yes});
        form->DoItBtn->click();
        ASSERT_TRUE(form->ScriptConsole().IsRunning());
        form->DoItBtn->click();
        EXPECT_FALSE(form->close()) << "No keeps the window open";
        EXPECT_TRUE(std::filesystem::exists(script)) << "a running script is never deleted";
        stamplet.Release(4);
        EXPECT_TRUE(form->close()) << "Yes waits for the script, then closes";
        EXPECT_FALSE(form->ScriptConsole().IsRunning());
        EXPECT_FALSE(std::filesystem::exists(script));
        EXPECT_EQ(log, (std::vector<std::string>{
                           "info: " + Box(engine::messages::kScriptWritten),
                           "info: " + Box(form::text::kRunStillGoing),
                           "ask: " + Box(form::text::kWaitBeforeClosing),
                           "ask: " + Box(form::text::kWaitBeforeClosing),
                           Warning(0, {{"clip01.wmv", engine::TargetState::WriteTimeDiffers},
                                       {"clip02.wmv", engine::TargetState::WriteTimeDiffers}}),
                       }));
    }
    WaitingStamplet stamplet;
    programFolder = stamplet.Folder();
    log.clear();
    OpenInFolder();
    form->DoItBtn->click();
    ASSERT_TRUE(form->ScriptConsole().IsRunning());
    stamplet.Release(4);
    form.reset();
    EXPECT_FALSE(std::filesystem::exists(script));
    EXPECT_EQ(log, std::vector<std::string>{"info: " + Box(engine::messages::kScriptWritten)});
}

// Guards what runs: a neighbour who may write to the folder renames a script of their own over
// Kronalo's while kScriptWritten waits; Kronalo still runs what it wrote, and deletes only its own
// file.
TEST_F(ReliabilityTest, NeighbourReplacesTheScript) {
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    const auto script = ScriptIn(folder.path());
    const auto ran = folder.path() / "neighbour ran";
    onBox = [&](const std::string& text) {
        if (text != Box(engine::messages::kScriptWritten))
            return;
        const auto theirs = folder.path() / ".theirs";
        std::ofstream(theirs) << "#!/bin/sh\ntouch '" << ran.string() << "'\n";
        std::filesystem::rename(theirs, script);
    };
    TForm1& window = OpenInFolder();
    RunAndWait(window);
    EXPECT_FALSE(std::filesystem::exists(ran));
    EXPECT_EQ(log.back(), DoneOnThisDisk());
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "clip02.wmv"),
              std::filesystem::last_write_time(folder.path() / "clip02.avi"));
    EXPECT_TRUE(std::filesystem::exists(script)) << "the neighbour's file is not Kronalo's";
}

// Guards the list folder by identity. While the script-written box waits, the folder is renamed
// and another made at its path with files of the same names: nothing in either folder is
// stamped, the box says the folder moved and where it is now, and the script is deleted where
// it went. Renamed while the script runs, the run stamps the user's own targets, wherever they
// now are, and says so.
TEST_F(ReliabilityTest, ListFolderMovedDuringTheRun) {
    const test::TempFolder elsewhere;
    const std::filesystem::path moved = elsewhere.path() / "moved";
    const std::string listed = folder.str();
    const std::vector<std::string> names = {"clip01.avi", "clip02.avi", "clip01.wmv", "clip02.wmv"};
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    onBox = [&](const std::string& text) {
        if (text != Box(engine::messages::kScriptWritten))
            return;
        std::filesystem::rename(listed, moved);
        std::filesystem::create_directory(listed);
        for (const std::string& name : names)
            folder.Write(name, "the neighbour's");
    };
    const std::filesystem::path script = ScriptIn(folder.path()).filename();
    TForm1& window = OpenInFolder();
    RunAndWait(window);
    EXPECT_EQ(log.back(),
              "info: " + Box(engine::messages::FolderMovedBeforeStart(listed, moved.string())));
    const auto source = std::filesystem::last_write_time(moved / "clip01.avi");
    EXPECT_NE(std::filesystem::last_write_time(moved / "clip01.wmv"), source);
    EXPECT_NE(std::filesystem::last_write_time(folder.path() / "clip01.wmv"), source)
        << "the neighbour's file was stamped";
    EXPECT_FALSE(std::filesystem::exists(moved / script)) << "the script is deleted where it went";
    EXPECT_FALSE(std::filesystem::exists(folder.path() / script));

    // Moved while the script runs: the script runs on in the folder it was started in.
    WaitingStamplet stamplet("\"" + test::StampletBeside() + "\" \"$@\"");
    programFolder = stamplet.Folder();
    onBox = nullptr;
    log.clear();
    std::filesystem::remove_all(folder.path());
    std::filesystem::rename(moved, listed);
    TForm1& again = OpenInFolder();
    again.DoItBtn->click();
    ASSERT_TRUE(stamplet.WaitForFirstCall()) << "the script is past its folder line";
    std::filesystem::rename(listed, moved);
    stamplet.Release(4);
    again.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    EXPECT_EQ(log.back(), DoneOnThisDisk() + "\n\n" +
                              Box(engine::messages::FolderMovedDuringRun(listed, moved.string())));
    for (const char* stem : {"clip01", "clip02"})
        EXPECT_EQ(std::filesystem::last_write_time(moved / (stem + std::string(".wmv"))),
                  std::filesystem::last_write_time(moved / (stem + std::string(".avi"))))
            << stem;
    EXPECT_FALSE(std::filesystem::exists(moved / script)) << "the script is deleted where it went";
    std::filesystem::rename(moved, listed);
}

// Guards taking a run back: the targets get the times they had before the run, to the second, a
// target changed after the run is left alone and named, the console and the final box say the
// fraction of a second is not restored, and the target given back counts as restored while the
// changed one is still the run's. With the option off nothing is recorded; a damaged record is
// refused and left as it is.
TEST_F(ReliabilityTest, RestoreTakesTheRunBack) {
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    for (const char* name : {"clip01.wmv", "clip02.wmv"})
        SetLastWrite(folder.path() / name, 946684800, 250);
    platform::FileTimeSet before;
    ASSERT_FALSE(platform::StatFileTimes((folder.path() / "clip01.wmv").string(), before));
    const auto toTheSecond = [](platform::FileTime time) {
        return time - time % platform::kFileTimeTicksPerSecond;
    };
    TForm1& window = OpenInFolder();
    RunAndWait(window);
    ASSERT_EQ(log.back(), DoneOnThisDisk());
    SetLastWrite(folder.path() / "clip02.wmv", 1200000000);
    RestoreAndWait(window);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].starts_with("ask: Palautetaanko 1 kohdetiedostolle")) << log[0];
    engine::TargetReport report;
    report.stamped = report.creationNotKept = 1;
    report.notStamped = 1;
    report.problems = {{"clip02.wmv", engine::TargetState::ChangedSince}};
    EXPECT_EQ(log[2], "info: " + Box(engine::messages::RunVerdict(true, report) + "\r\r" +
                                     engine::messages::kFractionNotRestored));
    platform::FileTimeSet after;
    ASSERT_FALSE(platform::StatFileTimes((folder.path() / "clip01.wmv").string(), after));
    EXPECT_EQ(after.lastWrite, toTheSecond(before.lastWrite)) << "back to the second";
    EXPECT_EQ(after.lastAccess, toTheSecond(before.lastAccess));
    EXPECT_EQ(LastWrite(folder.path() / "clip02.wmv"),
              platform::kUnixEpochFileTime + 1200000000ULL * platform::kFileTimeTicksPerSecond);
    RestoreAndWait(window);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].starts_with("info: Mikään "))
        << "only the changed target is left: " << log[0];

    // A damaged record is refused and left as it is; with the option off, nothing is recorded.
    const auto damaged = records.path() / "999999999999.000000000-00000000.kronalo-run";
    std::ofstream(damaged) << "Kronalo restore record 1\nfolder";
    window.MakeReturnFileBtn->setChecked(false);
    RunAndWait(window);
    RestoreAndWait(window);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "info: " + Box(engine::messages::RecordsRefused(
                                     {{damaged.string(), engine::DamagedRecord()}})));
    // Stamped again as the first run left it, the changed target is the first run's once more;
    // a record of the second run would offer both.
    EXPECT_TRUE(log[1].starts_with("ask: Palautetaanko 1 kohdetiedostolle")) << log[1];
    EXPECT_EQ(test::ReadAll(damaged), "Kronalo restore record 1\nfolder");
}

// Guards two windows on one folder: the second writes its script over the first's while the
// first's kScriptWritten waits; each runs its own and reports on its own targets.
TEST_F(ReliabilityTest, TwoWindowsOnOneFolder) {
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    for (const char* name : {"clip01.mp4", "clip02.mp4"})
        folder.Write(name);
    std::vector<std::string> otherLog;
    TForm1::Setup setup;
    setup.arguments = {(folder.path() / "clip01.avi").string()};
    setup.settingsPath = (settings.path() / "other.dat").string();
    setup.boxes = std::make_unique<RecordingDialogs>(otherLog);
    setup.recordFolder = records.str();
    TForm1 other(std::move(setup));
    other.show();
    other.ToNameEdit->setText("*.mp4");
    onBox = [&](const std::string& text) {
        if (text == Box(engine::messages::kScriptWritten) && otherLog.empty())
            other.DoItBtn->click();
    };
    TForm1& window = OpenInFolder();
    RunAndWait(window);
    other.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    EXPECT_EQ(log.back(), DoneOnThisDisk());
    EXPECT_EQ(otherLog.back(), DoneOnThisDisk());
    for (const char* stem : {"clip01", "clip02"})
        for (const char* extension : {".wmv", ".mp4"})
            EXPECT_EQ(
                std::filesystem::last_write_time(folder.path() / (stem + std::string(extension))),
                std::filesystem::last_write_time(folder.path() / (stem + std::string(".avi"))))
                << stem << extension;
    EXPECT_FALSE(std::filesystem::exists(ScriptIn(folder.path())));
    // Each window recorded its own run, whole.
    std::set<std::string> recorded;
    for (const auto& entry : std::filesystem::directory_iterator(records.path())) {
        const std::optional<engine::RunRecord> record =
            engine::ParseRunRecord(test::ReadAll(entry.path()));
        ASSERT_TRUE(record) << entry.path();
        for (const engine::RecordedTarget& target : record->targets)
            recorded.insert(target.name);
    }
    EXPECT_EQ(recorded,
              (std::set<std::string>{"clip01.mp4", "clip01.wmv", "clip02.mp4", "clip02.wmv"}));
}

// Guards the restore against what happens around it: a target the user edits while a box waits
// keeps the edit (Stamplet checks it when it stamps), and neither a run that never started, a
// second run that changed nothing, a restore that could not give every target back, nor fifty
// records from a clock that stood ahead keep the user from the run that changed the targets.
TEST_F(ReliabilityTest, RestoreReachesTheRunThatChangedTheTargets) {
    const auto runFolder = [this](TForm1& window) {
        RunAndWait(window);
        return log.back() == DoneOnThisDisk();
    };
    const struct {
        const char* what;
        /// Between the run and the restore; false where the row cannot be made here.
        std::function<bool(TForm1&)> between;
        /// While the restore's boxes wait.
        std::function<void()> meanwhile;
        std::function<bool()> restoreAgain; ///< Before a second restore, where one is made.
        bool clip02Edited;
    } rows[] = {
        {"edited while the script-written box waits", nullptr,
         [this] { SetLastWrite(folder.Write("clip02.wmv", "edited"), 1300000000); }, nullptr, true},
        {"a run that never started",
         [this](TForm1& window) {
             for (const char* name : {"clip01.avi", "clip02.avi"})
                 SetLastWrite(folder.path() / name, 1121428807);
             std::filesystem::create_directories(ScriptIn(folder.path()) / "x");
             window.DoItBtn->click();
             std::filesystem::remove_all(ScriptIn(folder.path()));
             return log.back().starts_with("error: Cannot create file");
         },
         nullptr, nullptr, false},
        {"a second run that changed nothing", runFolder, nullptr, nullptr, false},
        {"a restore that could not give one target back",
         [this](TForm1&) {
             locked = std::make_unique<Immutable>(folder.path() / "clip02.wmv");
             return locked->set();
         },
         nullptr,
         [this] {
             locked.reset();
             return true;
         },
         false},
        {"fifty records from a clock that stood ahead",
         [this](TForm1&) {
             engine::RunRecord other;
             other.begun = true;
             other.started = {4102444800, 0};
             other.targets.resize(1);
             other.targets[0].name = "x";
             for (int i = 0; i < 50; ++i)
                 std::ofstream(records.path() /
                               ("4" + std::to_string(100000000000 + i) + ".0-0.kronalo-run"))
                     << engine::FormatRunRecord(other);
             return true;
         },
         nullptr, nullptr, false},
    };
    for (const auto& row : rows) {
        form.reset();
        std::filesystem::remove_all(records.path());
        std::filesystem::create_directory(records.path());
        for (const char* name : {"clip01.avi", "clip02.avi"})
            SetLastWrite(folder.path() / name, 1105790407);
        for (const char* name : {"clip01.wmv", "clip02.wmv"})
            SetLastWrite(folder.Write(name, "video"), 946684800);
        // The fifty records come before the run whose record must outlive them.
        const bool early = std::string(row.what).starts_with("fifty");
        TForm1& window = OpenInFolder();
        if (early && !row.between(window))
            continue;
        RunAndWait(window);
        ASSERT_EQ(log.back(), DoneOnThisDisk()) << row.what;
        if (!early && row.between && !row.between(window)) {
            locked.reset();
            continue;
        }
        const auto restore = [&] {
            log.clear();
            onBox = [&](const std::string& text) {
                if (text == Box(engine::messages::kScriptWritten) && row.meanwhile)
                    row.meanwhile();
            };
            window.PopupMenu1->findChild<QAction*>("Palautaaiemmatajat1")->trigger();
            window.ScriptConsole().WaitForEnd();
            QApplication::processEvents();
            onBox = nullptr;
        };
        restore();
        ASSERT_FALSE(log.empty()) << row.what;
        EXPECT_TRUE(log[0].starts_with("ask: Palautetaanko 2 kohdetiedostolle")) << row.what << "\n"
                                                                                 << log[0];
        EXPECT_NE(log[0].find("Kohdetiedostot olivat samassa kansiossa."), std::string::npos)
            << row.what;
        if (row.restoreAgain) {
            ASSERT_TRUE(row.restoreAgain()) << row.what;
            restore();
            ASSERT_FALSE(log.empty()) << row.what;
            EXPECT_TRUE(log[0].starts_with("ask: Palautetaanko 1 kohdetiedostolle"))
                << row.what << ": the target left is tried again\n"
                << log[0];
        }
        EXPECT_EQ(LastWrite(folder.path() / "clip01.wmv"),
                  platform::kUnixEpochFileTime + 946684800ULL * 10000000ULL)
            << row.what;
        EXPECT_EQ(LastWrite(folder.path() / "clip02.wmv"),
                  platform::kUnixEpochFileTime +
                      (row.clip02Edited ? 1300000000ULL : 946684800ULL) * 10000000ULL)
            << row.what;
        if (row.clip02Edited) {
            EXPECT_NE(log.back().find("clip02.wmv"), std::string::npos)
                << row.what << ": the edited target is named\n"
                << log.back();
        }
    }
}

// Guards targets outside the list folder: a pattern through "../out" and one from the root both
// stamp the converted files there, with "VALMIS!", and a restore takes them back; a target folder
// swapped while the script-written box waits is named, and nothing in either folder is stamped.
TEST_F(ReliabilityTest, TargetsInAnotherFolder) {
    const test::TempFolder top;
    const std::filesystem::path list = top.path() / "list", out = top.path() / "out";
    const struct {
        const char* what;
        std::string pattern;
        bool swap;
        std::string where; ///< Where the restore's question says the targets were.
    } rows[] = {
        {"a folder beside the list folder", "../out/*.wmv", false, "kansiossa \"../out\"."},
        {"a folder from the root", out.string() + "/*.wmv", false,
         "kansiossa \"" + out.string() + "\"."},
        {"a folder swapped while the box waits", "../out/*.wmv", true, ""},
    };
    for (const auto& row : rows) {
        form.reset();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(list);
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(list);
        std::filesystem::create_directories(out);
        for (const char* stem : {"clip01", "clip02"}) {
            std::ofstream(list / (stem + std::string(".avi"))) << "source";
            SetLastWrite(list / (stem + std::string(".avi")), 1105790407);
            std::ofstream(out / (stem + std::string(".wmv"))) << "converted";
            SetLastWrite(out / (stem + std::string(".wmv")), 946684800);
        }
        onBox = [&](const std::string& text) {
            if (!row.swap || text != Box(engine::messages::kScriptWritten))
                return;
            std::filesystem::rename(out, top.path() / "out.old");
            std::filesystem::create_directories(out);
            for (const char* stem : {"clip01", "clip02"})
                std::ofstream(out / (stem + std::string(".wmv"))) << "the neighbour's";
        };
        log.clear();
        TForm1& window = Open({(list / "clip01.avi").string()});
        window.ToNameEdit->setText(QString::fromStdString(row.pattern));
        RunAndWait(window);
        onBox = nullptr;
        const std::filesystem::path kept = row.swap ? top.path() / "out.old" : out;
        const auto source = std::filesystem::last_write_time(list / "clip01.avi");
        if (row.swap) {
            EXPECT_EQ(log.back(), "info: " + Box(engine::messages::FolderMovedBeforeStart(
                                                 (list / "../out/").string(), kept.string())))
                << row.what;
            EXPECT_NE(std::filesystem::last_write_time(kept / "clip01.wmv"), source) << row.what;
            EXPECT_NE(std::filesystem::last_write_time(out / "clip01.wmv"), source)
                << row.what << ": the neighbour's file was stamped";
            std::filesystem::remove_all(kept);
            continue;
        }
        EXPECT_EQ(log.back(), DoneOnThisDisk()) << row.what;
        for (const char* stem : {"clip01", "clip02"})
            EXPECT_EQ(std::filesystem::last_write_time(out / (stem + std::string(".wmv"))),
                      std::filesystem::last_write_time(list / (stem + std::string(".avi"))))
                << row.what << ": " << stem;
        RestoreAndWait(window);
        ASSERT_FALSE(log.empty()) << row.what;
        EXPECT_NE(log[0].find("Kohdetiedostot olivat " + row.where), std::string::npos)
            << row.what << ": " << log[0];
        EXPECT_EQ(LastWrite(out / "clip02.wmv"),
                  platform::kUnixEpochFileTime + 946684800ULL * platform::kFileTimeTicksPerSecond)
            << row.what << ": the restore takes it back";
    }
    form.reset();
    std::filesystem::current_path(previous);
}

// Guards a target folder swapped while the script runs: every later call still stamps the
// user's files in the folder the run holds, none of the folder that took its place, and the
// verdict names the move.
TEST_F(ReliabilityTest, TargetFolderSwappedDuringTheRun) {
    constexpr int kPairs = 1500;
    const test::TempFolder top;
    const std::filesystem::path list = top.path() / "list", out = top.path() / "out",
                                mine = top.path() / "out-mine";
    std::filesystem::create_directories(list);
    std::filesystem::create_directories(out);
    const auto stemOf = [](int i) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "c%04d", i);
        return std::string(stem);
    };
    for (int i = 0; i < kPairs; ++i) {
        std::ofstream(list / (stemOf(i) + ".avi")) << "source";
        SetLastWrite(list / (stemOf(i) + ".avi"), 1105790407);
        std::ofstream(out / (stemOf(i) + ".wmv")) << "converted";
        SetLastWrite(out / (stemOf(i) + ".wmv"), 946684800);
    }
    const GatedStamplet stamplet(55);
    programFolder = stamplet.Folder();
    TForm1& window = Open({(list / "c0000.avi").string()});
    window.ToNameEdit->setText("../out/*.wmv");
    window.DoItBtn->click();
    ASSERT_TRUE(stamplet.WaitAtTheGate());
    std::filesystem::rename(out, mine);
    std::filesystem::create_directories(out);
    // The neighbour's folder lacks the last name: a target looked for by its path is not found.
    for (int i = 0; i < kPairs - 1; ++i) {
        std::ofstream(out / (stemOf(i) + ".wmv")) << "the neighbour's";
        SetLastWrite(out / (stemOf(i) + ".wmv"), 946684800);
    }
    stamplet.Open();
    window.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    EXPECT_EQ(log.back(), DoneOnThisDisk() + "\n\n" +
                              Box(engine::messages::FolderMovedDuringRun(
                                  (list / "../out/").string(), mine.string())));
    const auto source = std::filesystem::last_write_time(list / "c0000.avi");
    int stamped = 0, neighbours = 0;
    for (int i = 0; i < kPairs; ++i) {
        stamped += std::filesystem::last_write_time(mine / (stemOf(i) + ".wmv")) == source;
        neighbours += i + 1 < kPairs &&
                      std::filesystem::last_write_time(out / (stemOf(i) + ".wmv")) == source;
    }
    EXPECT_EQ(stamped, kPairs) << "the user's files, in the folder held";
    EXPECT_EQ(neighbours, 0) << "the files of the folder that took its place";
    form.reset();
    std::filesystem::current_path(previous);
}

// Guards a stop that falls between the calls of one file: the restore's last-access call of a
// file is in progress when Keskeytä is pressed; its last-write call still runs, no later file is
// touched, and the next restore gives back the rest without calling any file changed.
TEST_F(ReliabilityTest, StopBetweenTheCallsOfAFile) {
    for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv", "clip02.wmv"})
        std::filesystem::remove(folder.path() / name);
    for (int i = 0; i < 12; ++i) {
        const std::string stem = "c" + std::to_string(10 + i);
        SetLastWrite(folder.Write(stem + ".avi", "source"), 1105790407);
        SetLastWrite(folder.Write(stem + ".wmv", "target"), 946684800);
    }
    RunAndWait(OpenInFolder());
    ASSERT_EQ(log.back(), DoneOnThisDisk());
    // Two calls a file here: the last-access time, then the last-write time. The eleventh is the
    // first call of the sixth file.
    const GatedStamplet stamplet(11);
    programFolder = stamplet.Folder();
    TForm1& window = OpenInFolder({form::Answer::Yes, form::Answer::Yes});
    log.clear();
    window.PopupMenu1->findChild<QAction*>("Palautaaiemmatajat1")->trigger();
    ASSERT_TRUE(stamplet.WaitAtTheGate());
    window.StampConsole()->findChild<QPushButton*>("StopButton")->click();
    stamplet.Open();
    window.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    EXPECT_EQ(stamplet.Calls(), 12) << "the file in progress is done, and no other is begun";
    const platform::FileTime before =
        platform::kUnixEpochFileTime + 946684800ULL * platform::kFileTimeTicksPerSecond;
    EXPECT_EQ(LastWrite(folder.path() / "c15.wmv"), before) << "given back whole";
    EXPECT_NE(LastWrite(folder.path() / "c16.wmv"), before);

    RestoreAndWait(window);
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log[0].starts_with("ask: Palautetaanko 6 kohdetiedostolle")) << log[0];
    EXPECT_TRUE(log.back().starts_with("info: " + Box(engine::messages::kDone))) << log.back();
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(LastWrite(folder.path() / ("c" + std::to_string(10 + i) + ".wmv")), before) << i;
}

// Guards the order of restores: an older run picked past a later one that stamped the same
// file again after the user's edit leaves that file alone and names it, and the later run can
// still be taken back, giving the edit its own time.
TEST_F(ReliabilityTest, RestoreNeverPassesALaterRun) {
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    for (const char* name : {"clip01.wmv", "clip02.wmv"})
        SetLastWrite(folder.Write(name, "first"), 1640995200);
    TForm1& window = OpenInFolder({form::Answer::No, form::Answer::Yes, form::Answer::Yes});
    RunAndWait(window);
    ASSERT_EQ(log.back(), DoneOnThisDisk());
    SetLastWrite(folder.Write("clip01.wmv", "the user's new version"), 1704067200);
    RunAndWait(window);
    ASSERT_EQ(log.back(), DoneOnThisDisk());
    RestoreAndWait(window);
    ASSERT_EQ(log.size(), 4u) << "two questions, the script box, the verdict";
    EXPECT_TRUE(log[1].starts_with("ask: Palautetaanko 1 kohdetiedostolle")) << log[1];
    EXPECT_EQ(LastWrite(folder.path() / "clip02.wmv"),
              platform::kUnixEpochFileTime + 1640995200ULL * platform::kFileTimeTicksPerSecond);
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "clip01.wmv"),
              std::filesystem::last_write_time(folder.path() / "clip01.avi"))
        << "the later run's file is left alone";
    EXPECT_NE(log.back().find("clip01.wmv: myöhempi ajo muutti sen"), std::string::npos)
        << log.back();
    RestoreAndWait(window);
    EXPECT_EQ(LastWrite(folder.path() / "clip01.wmv"),
              platform::kUnixEpochFileTime + 1704067200ULL * platform::kFileTimeTicksPerSecond)
        << "the edit's own time";
}

// Guards what the user sees before and can do during a long run: the script-written box offers
// one line per pair with its marks and their counts, and the console's stop ends a run of 20,000
// pairs after the Stamplet call in progress, never in one: fewer than all are stamped, none half,
// no script is left, the verdict names the stop, and a restore brings the stamped ones back.
TEST_F(ReliabilityTest, DetailsBeforeAndStopDuring) {
    constexpr int kPairs = 20000;
    for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv", "clip02.wmv"})
        std::filesystem::remove(folder.path() / name);
    // The last target is missing, the one before it already has its source's time.
    for (int i = 0; i < kPairs; ++i) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "c%05d", i);
        SetLastWrite(folder.Write(stem + std::string(".avi"), "source"), 1105790407);
        if (i != kPairs - 1)
            SetLastWrite(folder.Write(stem + std::string(".wmv"), "target"),
                         i == kPairs - 2 ? 1105790407 : 946684800);
    }
    // Each call is counted; the third waits until the test lets it go, after the stop.
    const test::TempFolder programs;
    const std::filesystem::path called = programs.path() / "called", go = programs.path() / "go";
    std::ofstream(programs.path() / "Stamplet")
        << "#!/bin/sh\necho >> '" << called.string() << "'\n[ \"$(wc -l < '" << called.string()
        << "')\" -eq 3 ] && while [ ! -e '" << go.string() << "' ]; do sleep 0.01; done\nexec '"
        << test::StampletBeside() << "' \"$@\"\n";
    std::filesystem::permissions(programs.path() / "Stamplet", std::filesystem::perms::owner_all);
    programFolder = programs.str() + "/";
    // The console closed while the script runs asks: No lets the run go on, the console stays.
    TForm1& window = OpenInFolder({form::Answer::No});
    window.DoItBtn->click();
    ASSERT_EQ(details.size(), 1u);
    const std::string& shown = details[0];
    EXPECT_TRUE(shown.starts_with("Kohdetiedostoja 20000, joista puuttuu 1 ja joilla on jo sama "
                                  "aika 1. Jätetään ennalleen 0.\n"))
        << shown.substr(0, 200);
    for (const char* line : {"\nc00000.avi -> c00000.wmv: 15.1.2005 klo ",
                             "\nc19998.avi -> c19998.wmv: 15.1.2005 klo ", " [aika on jo sama]\n",
                             "\nc19999.avi -> c19999.wmv: 15.1.2005 klo ", " [puuttuu]"})
        EXPECT_NE(shown.find(line), std::string::npos) << line;

    ASSERT_TRUE(test::WaitUntil([&] { return test::ReadAll(called) == "\n\n\n"; }))
        << "the third call waits";
    log.clear();
    window.StampConsole()->close();
    EXPECT_EQ(log, std::vector<std::string>{"ask: " + Box(form::text::kStopOrWait)});
    EXPECT_TRUE(window.StampConsole()->isVisible());
    EXPECT_TRUE(window.ScriptConsole().IsRunning());
    window.StampConsole()->findChild<QPushButton*>("StopButton")->click();
    std::ofstream(go).close();
    window.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    EXPECT_EQ(test::ReadAll(called), "\n\n\n") << "no call after the stop";
    EXPECT_TRUE(log.back().starts_with("info: VAROITUS! Ajo keskeytettiin käyttäjän pyynnöstä."))
        << log.back().substr(0, 200);
    // Only what was tried is judged: the targets after it are counted as not reached, and
    // nothing says that their times were set.
    for (const char* said : {"\nAjat asetettu: 3\nAikoja ei asetettu: 0\n",
                             "\nKäsittelemättä keskeytyksen vuoksi: 19997\n"})
        EXPECT_NE(log.back().find(said), std::string::npos) << said << log.back().substr(0, 400);
    for (const char* unsaid : {"muokkausaikaa ei saatu asetettua", "Muokkausajat asetettiin"})
        EXPECT_EQ(log.back().find(unsaid), std::string::npos) << unsaid << log.back();
    EXPECT_NE(window.StampConsole()->findChild<QLabel*>()->text().toStdString().find(
                  "Käsittelemättä jäi 19997 tiedostoa."),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(ScriptIn(folder.path())));
    const auto source = std::filesystem::last_write_time(folder.path() / "c00000.avi");
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "c00000.wmv"), source);
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "c00002.wmv"), source)
        << "the call in progress ran to its end";
    EXPECT_NE(std::filesystem::last_write_time(folder.path() / "c00003.wmv"), source);

    RestoreAndWait(window);
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log[0].starts_with("ask: Palautetaanko 3 kohdetiedostolle")) << log[0];
    EXPECT_NE(log[0].find("ja se muutti 3 kohdetiedoston"), std::string::npos)
        << "the targets the stopped run never reached are not counted: " << log[0];
    EXPECT_TRUE(log.back().starts_with("info: " + Box(engine::messages::kDone)))
        << "nor named as changed since: " << log.back().substr(0, 300);
    EXPECT_EQ(LastWrite(folder.path() / "c00002.wmv"),
              platform::kUnixEpochFileTime + 946684800ULL * platform::kFileTimeTicksPerSecond);
}

/// A zone whose daylight-saving time began half an hour ago: UTC in standard time, one hour east
/// in daylight-saving time. Empty on the first day of the year, where the rule would wrap.
std::string ZoneThatChangedHalfAnHourAgo() {
    const std::time_t now = std::time(nullptr) - 1800;
    std::tm utc{};
    gmtime_r(&now, &utc);
    if (utc.tm_yday == 0)
        return {};
    // Zero-based days counting 29 February; a rule time may run past 24 hours.
    char rule[96];
    std::snprintf(rule, sizeof rule, "STD0DST-1,%d/%d:%02d:%02d,%d/0", utc.tm_yday - 1,
                  utc.tm_hour + 24, utc.tm_min, utc.tm_sec, (utc.tm_yday + 10) % 365);
    return rule;
}

// Guards the one offset of a run: the zone's change falls between the moment the times were
// written (an hour ago, by the run's clock) and the moment Stamplet stamps; the targets still
// get their sources' times exactly.
TEST_F(ReliabilityTest, ZoneChangesDuringTheRun) {
    const std::string rule = ZoneThatChangedHalfAnHourAgo();
    if (rule.empty())
        GTEST_SKIP() << "the test's zone rule cannot be made on the first day of the year";
    const test::ScopedTz tz(rule.c_str());
    const engine::SystemZone anHourAgo(
        [] { return static_cast<std::int64_t>(std::time(nullptr)) - 3600; });
    ASSERT_NE(anHourAgo.OffsetNow(), engine::MachineZone().OffsetNow()) << rule;
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    zone = &anHourAgo;
    TForm1& window = OpenInFolder();
    RunAndWait(window);
    EXPECT_EQ(log.back(), DoneOnThisDisk()) << rule;
    EXPECT_EQ(std::filesystem::last_write_time(folder.path() / "clip01.wmv"),
              std::filesystem::last_write_time(folder.path() / "clip01.avi"));
}

// Guards paths as bytes: a list folder whose name is not valid UTF-8 works through the chain.
TEST_F(ReliabilityTest, FolderNameThatIsNoText) {
    const std::filesystem::path latin1 = folder.path() / "Kes\xe4";
    std::filesystem::create_directory(latin1);
    std::ofstream(latin1 / "clip01.avi") << "source";
    SetLastWrite(latin1 / "clip01.avi", 1105790407);
    std::ofstream(latin1 / "clip01.wmv") << "target";
    TForm1& window = Open({(latin1 / "clip01.avi").string()});
    ASSERT_EQ(window.FileList->Folder(), latin1.string());
    RunAndWait(window);
    EXPECT_EQ(log.back(), DoneOnThisDisk());
    EXPECT_EQ(std::filesystem::last_write_time(latin1 / "clip01.wmv"),
              std::filesystem::last_write_time(latin1 / "clip01.avi"));
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
