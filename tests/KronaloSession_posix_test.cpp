// Kronalo's real window on a display of the test's own, as a user at a desktop has it: a run
// whose session ends, whose terminal hangs up or is interrupted, or whose display goes away
// while the script runs. The stamping runs to its end, Kronalo deletes its script and ends as it
// was told.

#include "platform/FileTimes.h"
#include "tests/support/XSession_posix.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>

namespace {

using platform::FileTime;

constexpr long long kWritten[] = {1105790407, 1121428807};

FileTime LastWrite(const std::filesystem::path& file) {
    platform::FileTimeSet times;
    return platform::StatFileTimes(file.string(), times) ? 0 : times.lastWrite;
}

/// Kronalo from a program folder of the test's, beside a Stamplet that marks each call and waits
/// until the test lets the script go on, then stamps; a list folder with two sources and their
/// targets.
class KronaloSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(KRONALO_EXE, programs.path() / "Kronalo");
        std::ofstream(programs.path() / "Stamplet")
            << "#!/bin/sh\n: >> '" << Called().string() << "'\nwhile [ ! -e '" << Go().string()
            << "' ]; do sleep 0.05; done\nexec '" << KRONALO_STAMPLET << "' \"$@\"\n";
        std::filesystem::permissions(programs.path() / "Stamplet",
                                     std::filesystem::perms::owner_all);
        for (int i = 0; i < 2; ++i) {
            const std::string stem = "clip0" + std::to_string(i + 1);
            test::SetLastWrite(folder.Write(stem + ".avi", "source"), kWritten[i]);
            folder.Write(stem + ".wmv", "target");
        }
    }

    /// The display's settings, and a state folder of the test's own for the runs' records.
    std::vector<std::string> Environment(const test::XSession& session) const {
        std::vector<std::string> environment = session.Environment();
        environment.push_back("XDG_STATE_HOME=" + (programs.path() / "state").string());
        return environment;
    }

    std::filesystem::path Called() const { return programs.path() / "called"; }
    std::filesystem::path Go() const { return programs.path() / "go"; }
    std::filesystem::path Script() const {
        return folder.path() / (folder.path().filename().string() + " FileDateAndTime File.sh");
    }

    /// Starts Kronalo on the list folder, presses the run button and the script-written box's
    /// OK, as the user does with Enter, and waits until the script makes its first Stamplet call.
    /// The reason where it cannot.
    std::string RunUntilFirstCall(test::XSession& session, test::Job& kronalo) {
        if (!kronalo.Start(
                {(programs.path() / "Kronalo").string(), (folder.path() / "clip01.avi").string()},
                Environment(session)))
            return "Kronalo did not start";
        const std::string window = session.WaitWindows("Kronalo 1.3", 1);
        if (window.empty())
            return "Kronalo's window did not appear";
        std::string box;
        session.KeysUntil(window, "Return", [&] {
            box = session.WindowBesides("Kronalo 1.3", window);
            return !box.empty();
        });
        if (box.empty())
            return "the script-written box did not appear";
        if (!session.KeysUntil(box, "Return", [this] { return std::filesystem::exists(Called()); }))
            return "the script made no Stamplet call";
        return {};
    }

    test::TempFolder programs;
    test::TempFolder folder;
};

// Guards the end of Kronalo's session while its script runs: the session's end, the terminal's
// hang-up, the terminal's Ctrl+C (which reaches Kronalo's whole process group) and a display
// that goes away. Each time every target is stamped, the script is deleted, and Kronalo ends as
// it was told.
TEST_F(KronaloSessionTest, SessionEndsWhileTheScriptRuns) {
    const struct {
        const char* what;
        std::function<void(test::Job&, test::XSession&)> end;
        int signal; ///< What Kronalo ends by; 0 for an exit of its own.
    } rows[] = {
        {"the session ends", [](test::Job& job, test::XSession&) { ::kill(job.Pid(), SIGTERM); },
         SIGTERM},
        {"the terminal hangs up",
         [](test::Job& job, test::XSession&) { ::kill(job.Pid(), SIGHUP); }, SIGHUP},
        {"Ctrl+C in the terminal",
         [](test::Job& job, test::XSession&) { ::kill(-job.Pid(), SIGINT); }, SIGINT},
        {"the display goes away", [](test::Job&, test::XSession& session) { session.Lose(); }, 0},
    };
    for (const auto& row : rows) {
        test::XSession session;
        if (const std::string reason = session.Start(); !reason.empty())
            GTEST_SKIP() << reason;
        std::filesystem::remove(Called());
        std::filesystem::remove(Go());
        for (const char* target : {"clip01.wmv", "clip02.wmv"})
            test::SetLastWrite(folder.path() / target, 946684800);
        test::Job kronalo;
        const std::string reason = RunUntilFirstCall(session, kronalo);
        ASSERT_EQ(reason, "") << row.what;
        EXPECT_TRUE(std::filesystem::exists(Script())) << row.what;

        row.end(kronalo, session);
        std::ofstream(Go()).close();
        int status = 0;
        ASSERT_TRUE(test::WaitUntil([&] { return kronalo.Ended(status); }, 60)) << row.what;
        if (row.signal != 0) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == row.signal) << row.what;
        }
        EXPECT_FALSE(std::filesystem::exists(Script())) << row.what;
        // A script whose Kronalo went first runs on to its end by itself.
        for (const char* stem : {"clip01", "clip02"})
            EXPECT_TRUE(test::WaitUntil([&] {
                return LastWrite(folder.path() / (stem + std::string(".wmv"))) ==
                       LastWrite(folder.path() / (stem + std::string(".avi")));
            })) << row.what
                << ": " << stem;
    }
}

// Guards taking a run back after Kronalo was closed and started again: the run's record outlives
// the program, and "Palauta aiemmat ajat..." in the popup menu, answered as a user answers its
// boxes, gives the targets the times they had before the run, to the second, and leaves alone a
// target the user edits while the question waits.
TEST_F(KronaloSessionTest, RestoreAfterARestart) {
    std::ofstream(Go()).close();
    for (const char* target : {"clip01.wmv", "clip02.wmv"})
        test::SetLastWrite(folder.path() / target, 946684800, 500);
    const FileTime before = LastWrite(folder.path() / "clip01.wmv");
    const auto finalBox = [](test::XSession& session) {
        // The main window and a box of the same title.
        return session.WaitWindows("Kronalo 1.3", 2);
    };
    const auto close = [](test::XSession& session, const std::string& window, test::Job& job) {
        int status = 0;
        return session.KeysUntil(window, "alt+F4", [&] { return job.Ended(status); });
    };
    {
        test::XSession session;
        if (const std::string reason = session.Start(); !reason.empty())
            GTEST_SKIP() << reason;
        test::Job kronalo;
        ASSERT_EQ(RunUntilFirstCall(session, kronalo), "");
        ASSERT_TRUE(test::WaitUntil([&] {
            return LastWrite(folder.path() / "clip02.wmv") ==
                   LastWrite(folder.path() / "clip02.avi");
        }));
        const std::string box = finalBox(session);
        ASSERT_FALSE(box.empty());
        session.KeysUntil(box, "Return",
                          [&] { return session.Windows("Kronalo 1.3").size() == 1; });
        ASSERT_TRUE(close(session, session.Windows("Kronalo 1.3").front(), kronalo));
    }
    test::XSession session;
    ASSERT_EQ(session.Start(), "");
    test::Job kronalo;
    ASSERT_TRUE(kronalo.Start(
        {(programs.path() / "Kronalo").string(), (folder.path() / "clip01.avi").string()},
        Environment(session)));
    const std::string window = session.WaitWindows("Kronalo 1.3", 1);
    ASSERT_FALSE(window.empty());
    // Alt+D and Tab to the file list, wherever the focus was, and open its menu (a nameless window
    // of the program's), then its last entry.
    ASSERT_TRUE(session.KeysUntil(window, "Escape alt+d Tab Tab Menu",
                                  [&] { return session.Windows("Kronalo", true).size() >= 2; }));
    std::string question;
    ASSERT_TRUE(session.KeysUntil("", "Up Return", [&] {
        const std::vector<std::string> boxes = session.Windows("Confirm");
        question = boxes.empty() ? "" : boxes.front();
        return !question.empty();
    }));
    // The user saves new contents into one target while the question waits: the restore must
    // leave that edit alone, whatever the plan found before.
    test::SetLastWrite(folder.Write("clip02.wmv", "edited"), 1300000000);
    std::string written;
    ASSERT_TRUE(session.KeysUntil(question, "Return", [&] {
        written = session.WindowBesides("Kronalo 1.3", window);
        return !written.empty();
    }));
    ASSERT_TRUE(session.KeysUntil(written, "Return", [&] {
        return LastWrite(folder.path() / "clip01.wmv") ==
               before - before % platform::kFileTimeTicksPerSecond;
    })) << "clip01.wmv has its time from before the run, to the second";
    EXPECT_FALSE(finalBox(session).empty());
    EXPECT_EQ(LastWrite(folder.path() / "clip02.wmv"),
              platform::kUnixEpochFileTime + 1300000000ULL * platform::kFileTimeTicksPerSecond)
        << "the edit made while the question waited is kept";
}

// Guards the window's bounds as the settings file means them, frame included: the first start's
// window is 651 x 382 outside, the settings file keeps the outer bounds at closing, and the next
// start gives them back.
TEST_F(KronaloSessionTest, OuterBounds) {
    const struct {
        const char* what;
        std::string settings; ///< Kronalo.dat before the start; none where empty.
        std::string outer;
        std::string saved; ///< Lines 7 to 10 after closing.
    } rows[] = {
        {"the first start", "", "651x382", "129\r\n179\r\n651\r\n382\r\n"},
        {"bounds from the settings file",
         "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n40\r\n50\r\n700\r\n450\r\n", "700x450",
         "40\r\n50\r\n700\r\n450\r\n"},
    };
    for (const auto& row : rows) {
        test::XSession session;
        if (const std::string reason = session.Start(); !reason.empty())
            GTEST_SKIP() << reason;
        const auto settings = programs.path() / "Kronalo.dat";
        std::filesystem::remove(settings);
        if (!row.settings.empty())
            std::ofstream(settings, std::ios::binary) << row.settings;
        test::Job kronalo;
        ASSERT_TRUE(kronalo.Start({(programs.path() / "Kronalo").string()}, Environment(session)));
        const std::string window = session.WaitWindows("Kronalo 1.3", 1);
        ASSERT_FALSE(window.empty()) << row.what;
        EXPECT_TRUE(test::WaitUntil([&] { return session.OuterSize(window) == row.outer; }))
            << row.what << ": " << session.OuterSize(window);
        // Closed through the window manager, as the user closes it.
        int status = 0;
        ASSERT_TRUE(session.KeysUntil(window, "alt+F4", [&] { return kronalo.Ended(status); }))
            << row.what;
        const std::string saved = test::ReadAll(settings);
        EXPECT_TRUE(saved.ends_with(row.saved)) << row.what << ": " << saved;
    }
}

/// Another X server seen only by its abstract socket, as where /tmp is private and the abstract
/// sockets are shared: it takes each connection and drops it unanswered.
class ServerElsewhere {
public:
    /// Takes the first display number whose socket and lock file are absent here.
    ServerElsewhere() {
        for (number = 90; number < 200; ++number) {
            const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists(name) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
                continue;
            socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path + 1, name.data(), name.size());
            if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address),
                       offsetof(sockaddr_un, sun_path) + 1 + name.size()) == 0 &&
                ::listen(socket_, 8) == 0)
                break;
            ::close(socket_);
            socket_ = -1;
        }
        dropping_ = std::thread([this] {
            for (int client; socket_ >= 0 && (client = ::accept(socket_, nullptr, nullptr)) >= 0;)
                ::close(client);
        });
    }
    ~ServerElsewhere() {
        ::shutdown(socket_, SHUT_RDWR);
        dropping_.join();
        ::close(socket_);
    }

    int number = 0;

private:
    int socket_ = -1;
    std::thread dropping_;
};

// Guards the display of the test's own: a display number held by another server, even one whose
// socket and lock file this /tmp does not show, is never taken for the test's.
TEST(XSessionTest, ADisplayHeldElsewhereIsLeftAlone) {
    ServerElsewhere other;
    test::XSession session;
    const std::string reason = session.Start();
    if (reason.find("not installed") != std::string::npos)
        GTEST_SKIP() << reason;
    ASSERT_EQ(reason, "");
    EXPECT_NE(session.Environment().front(), "DISPLAY=:" + std::to_string(other.number));
    EXPECT_FALSE(session.Xdotool({"getdisplaygeometry"}).empty());
}

} // namespace
