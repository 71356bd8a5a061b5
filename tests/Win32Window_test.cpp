// Kronalo.exe's own window under Wine, driven from a process of its own as a user would: its
// controls read through their messages, keys pressed through the X server. Where Wine differs
// from Windows, the test says so and asserts only what holds on both.

#include "engine/Messages.h"
#include "engine/Names.h"
#include "engine/TargetCheck.h"
#include "form/FormText.h"
#include "form/WindowLayout.h"
#include "platform/FileTimes.h"
#include "platform/WideText.h"
#include "tests/support/WindowProbe_win32.h"
#include "win32/ControlIds.h"
#include "win32/StampConsole.h"

#include "TempFolder.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

#include <gtest/gtest.h>

namespace {

namespace ids = win32::ids;
namespace messages = engine::messages;

constexpr platform::FileTime kSecond = platform::kFileTimeTicksPerSecond;

platform::FileTime At(long long unixSeconds) {
    return platform::kUnixEpochFileTime + static_cast<platform::FileTime>(unixSeconds) * kSecond;
}

using test::Shown;

/// True under Wine, whose cmd differs from Windows' where a test says so.
bool UnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string DesktopFolder() {
    wchar_t folder[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, folder);
    return platform::Narrow(folder);
}

/// The name without its extension of the pair `i` that MakePairs makes.
std::string Stem(int i) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "c%05d", i);
    return stem;
}

/// The Unix name of `path` under Wine; empty elsewhere.
std::string UnixName(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert ? convert(platform::Wide(path).c_str()) : nullptr;
    if (!name)
        return {};
    const std::string unixName = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unixName;
}

/// Under Wine, the first free drive letter from K: on, made a drive on `folder` for the lifetime
/// of this object: Wine finds each letter's folder through a link of that name in its prefix's
/// dosdevices folder. No drive elsewhere.
class WineDrive {
public:
    explicit WineDrive(const std::string& folder) {
        const std::string c = UnixName("C:\\"), target = UnixName(folder);
        const std::string tail = "/dosdevices/c:/";
        if (target.empty() || c.size() < tail.size() || !c.ends_with(tail))
            return;
        char letter = 'k';
        while (letter < 'z' && (::GetLogicalDrives() & (1u << (letter - 'a'))))
            ++letter;
        if (letter == 'z')
            return;
        link_ = c.substr(0, c.size() - 3) + letter + ":";
        test::WindowProbe::Run("/bin/ln -s \"" + target + "\" \"" + link_ + "\"");
        // Wine finds a new drive's folders a moment later; this process's list of drives stays
        // as it was at its start.
        const std::string root = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":\\";
        if (test::WindowProbe::Until([&root] { return std::filesystem::is_directory(root); }))
            root_ = root;
    }
    ~WineDrive() {
        if (!link_.empty())
            test::WindowProbe::Run("/bin/rm -f \"" + link_ + "\"");
    }
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    /// The drive's root with its backslash, K:\ say; empty where no drive was made.
    const std::string& Root() const { return root_; }

private:
    std::string link_;
    std::string root_;
};

/// The display's scale the tests' windows come up at: 96 dpi, or KRONALO_TEST_DPI's.
int TestDpi() {
    const char* asked = std::getenv("KRONALO_TEST_DPI");
    return asked && std::atoi(asked) > 0 ? std::atoi(asked) : form::layout::kBaseDpi;
}

/// Under Wine, the display's scale set for the programs started while this object lives, and
/// restored after: Wine's LogPixels, which each process reads once, at its start. Elsewhere the
/// display's scale stays the system's.
class DisplayScale {
public:
    explicit DisplayScale(int dpi) {
        if (!UnderWine() || ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0,
                                              nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                                              &key_, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof before_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&before_), &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~DisplayScale() {
        if (!key_)
            return;
        if (had_)
            Set(static_cast<int>(before_));
        else
            ::RegDeleteValueW(key_, L"LogPixels");
        ::RegCloseKey(key_);
    }
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;

    void Set(int dpi) {
        const DWORD value = static_cast<DWORD>(dpi);
        if (key_)
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&value), sizeof value);
    }

private:
    HKEY key_ = nullptr;
    DWORD before_ = 0;
    bool had_ = false;
};

/// A program folder with Kronalo.exe and Stamplet.exe, and a list folder with sources, targets,
/// a subfolder and hidden and system files.
class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The windows' places as they are, whatever scale this process was started at.
        ::SetProcessDPIAware();
        const std::filesystem::path built = std::filesystem::path(KRONALO_EXE).parent_path();
        for (const char* program : {"Kronalo.exe", "Stamplet.exe"})
            std::filesystem::copy_file(built / program, programs.path() / program);
        for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv", "clip02.wmv"})
            folder.Write(name, "video");
        std::filesystem::create_directory(folder.path() / "sub.avi");
        for (const auto& [name, attribute] : {std::pair{"hidden.avi", FILE_ATTRIBUTE_HIDDEN},
                                              {"system.avi", FILE_ATTRIBUTE_SYSTEM}})
            ::SetFileAttributesA(folder.Write(name).string().c_str(), attribute);
        list = folder.str();
    }

    test::WindowProbe& Open(std::vector<std::string> arguments, bool asTyped = false) {
        window.reset();
        window = std::make_unique<test::WindowProbe>((programs.path() / "Kronalo.exe").string(),
                                                     arguments, programs.str(), asTyped);
        window->Settle();
        return *window;
    }
    test::WindowProbe& OpenInFolder() { return Open({list + "\\clip01.avi"}); }

    /// Types into the filter box, replacing its text, and waits until the box shows it. The
    /// text's last character, a letter, is typed: Wine reads xdotool's symbols through its own
    /// guess of the keyboard, which shifts them wrongly, so the rest is set beforehand.
    void Retype(test::WindowProbe& probe, const std::string& text) {
        const std::string most = text.substr(0, text.size() - 1);
        probe.SetText(ids::kFilter, most);
        probe.Keys("alt+p End");
        // The letter is typed once the caret stands at the end of the box.
        test::WindowProbe::Until([&] {
            DWORD start = 0, end = 0;
            ::SendMessageW(probe.Control(ids::kFilter), CB_GETEDITSEL,
                           reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            return probe.Focused() == ids::kFilter && start == most.size() && end == start;
        });
        probe.Type(text.substr(text.size() - 1));
        test::WindowProbe::Until([&] { return probe.Text(ids::kFilter) == text; });
        probe.Settle();
    }

    /// Plants in `where` a batch file named after each word of the list folder's name `name`,
    /// and evil.bat: what a command line that lost its quotes would run. Each appends to `marker`.
    static void PlantDecoys(const std::string& where, const std::string& name,
                            const std::string& marker) {
        std::string word;
        for (const char c : name + " evil") {
            if (std::string_view(" &()^@%!").find(c) == std::string_view::npos) {
                word += c;
                continue;
            }
            if (!word.empty())
                std::ofstream(test::PathOf(where + "\\" + word + ".bat"), std::ios::binary)
                    << "@echo off\r\necho ran>>\"" << marker << "\"\r\n";
            word.clear();
        }
    }

    /// Makes in `listFolder` a source for each of `stems`, appended to `sources`, with its
    /// last-write time an hour after the one before, and its target but where `lastTargetMissing`
    /// for the last: the report a run that stamped every target there is would make.
    static engine::TargetReport MakeSources(const std::string& listFolder,
                                            const std::vector<std::string>& stems,
                                            bool lastTargetMissing,
                                            std::vector<std::string>& sources) {
        engine::TargetReport report;
        for (std::size_t i = 0; i < stems.size(); ++i) {
            sources.push_back(stems[i] + ".avi");
            const std::string target = stems[i] + ".wmv";
            if (lastTargetMissing && i + 1 == stems.size()) {
                ++report.notFound;
                report.problems.emplace_back(target, engine::TargetState::NotFound);
            } else {
                std::ofstream(test::PathOf(listFolder + "\\" + target)) << "target";
                ++report.stamped;
            }
            std::ofstream(test::PathOf(listFolder + "\\" + sources[i])) << "source";
            platform::FileTimeChange change;
            change.lastWrite = At(1105790407 + 3600 * static_cast<long long>(i));
            bool ignored = false;
            EXPECT_FALSE(platform::SetFileTimes(listFolder + "\\" + sources[i], change, ignored));
        }
        return report;
    }

    /// Opens Kronalo.exe from `programFolder` on `listFolder`, where it must list `sources`, runs
    /// the time copy and answers the box that the script is written: the verdict box, once up.
    test::WindowProbe::Box RunIn(const std::string& programFolder, const std::string& listFolder,
                                 std::vector<std::string> sources) {
        window = std::make_unique<test::WindowProbe>(
            programFolder + "\\Kronalo.exe", std::vector{listFolder + "\\" + sources.back()},
            programFolder);
        test::WindowProbe& probe = *window;
        if (!probe.Window()) {
            ADD_FAILURE() << "Kronalo.exe did not show its window for " << listFolder;
            return {};
        }
        probe.Settle();
        EXPECT_EQ(probe.Text(ids::kPath), listFolder + "\\");
        std::vector<std::string> items = probe.Items();
        std::sort(items.begin(), items.end());
        std::sort(sources.begin(), sources.end());
        EXPECT_EQ(items, sources);
        probe.Press(ids::kDoItBtn);
        const test::WindowProbe::Box box = probe.WaitBox();
        EXPECT_EQ(box.text, Shown(messages::kScriptWritten));
        probe.Answer(box, IDOK);
        return probe.WaitBox();
    }

    /// The first `count` of the targets named by `stems` carry their sources' last-write times,
    /// the console names each as changed, as it shows names, and does not call the script cut
    /// short.
    void ExpectStamped(const std::string& listFolder, const std::vector<std::string>& stems,
                       std::size_t count) const {
        const HWND console = window->WaitTopLevel(ids::kConsoleClass);
        ASSERT_TRUE(console);
        const std::string output =
            test::WindowProbe::TextOf(::GetDlgItem(console, ids::kConsoleOutput));
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(console, ids::kConsoleSummary))
                      .find(Shown(form::text::kConsoleInterrupted)),
                  std::string::npos)
            << listFolder;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string target = stems[i] + ".wmv";
            EXPECT_NE(
                output.find("File " + engine::ShownText(target) + " date/time changed succesfully"),
                std::string::npos)
                << target << " in\n"
                << output;
            platform::FileTimeSet times;
            ASSERT_FALSE(platform::GetFileTimes(listFolder + "\\" + target, times)) << target;
            EXPECT_EQ(times.lastWrite, At(1105790407 + 3600 * static_cast<long long>(i)))
                << listFolder << ": " << target;
        }
    }

    /// Runs the time copy of clip01.avi and clip02.avi in `listFolder` onto the targets that
    /// `pattern` names in `targets`, and takes it back.
    void RunAndTakeBack(const char* what, const std::string& listFolder, const std::string& targets,
                        const std::string& pattern) {
        const long long written[] = {1105790407, 1121428807};
        const char* sources[] = {"clip01.avi", "clip02.avi"};
        for (int i = 0; i < 2; ++i)
            test::SetLastWrite(test::PathOf(listFolder + "\\" + sources[i]), written[i]);
        platform::FileTimeSet before;
        ASSERT_FALSE(platform::GetFileTimes(targets + "\\clip01.wmv", before)) << what;
        test::WindowProbe& probe = Open({listFolder + "\\clip01.avi"});
        probe.SetText(ids::kToNameEdit, pattern);
        const std::string script = listFolder + "\\" +
                                   std::filesystem::path(listFolder).filename().string() +
                                   " FileDateAndTime File.bat";
        // Peruuta first: nothing starts, the script goes, the target keeps its time, and the
        // restore below finds only the run that went on.
        probe.Press(ids::kDoItBtn);
        test::WindowProbe::Box box = probe.WaitBox();
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(box.window, IDCANCEL)),
                  form::text::kCancel)
            << what;
        probe.Answer(box, IDCANCEL);
        probe.Settle();
        EXPECT_FALSE(std::filesystem::exists(script)) << what << ": declined";
        platform::FileTimeSet still;
        ASSERT_FALSE(platform::GetFileTimes(targets + "\\clip01.wmv", still)) << what;
        EXPECT_EQ(still.lastWrite, before.lastWrite) << what << ": declined";

        probe.Press(ids::kDoItBtn);
        box = probe.WaitBox();
        EXPECT_EQ(box.text, Shown(messages::kScriptWritten)) << what;
        EXPECT_TRUE(std::filesystem::exists(script)) << script;
        probe.Answer(box, IDOK);

        box = probe.WaitBox();
        // Wine on a Linux file system reports a file's last-write time as its creation time, for
        // sources and targets alike; so the success box comes without the note on creation times.
        EXPECT_EQ(box.text, Shown(messages::kDone)) << what;
        ExpectConsoleDone(what);
        for (int i = 0; i < 2; ++i) {
            platform::FileTimeSet target;
            const std::string name = std::string(sources[i]).substr(0, 6) + ".wmv";
            ASSERT_FALSE(platform::GetFileTimes(targets + "\\" + name, target)) << what;
            EXPECT_EQ(target.lastWrite, At(written[i])) << what << ": " << name;
        }
        probe.Answer(box, IDOK);
        probe.Settle();
        EXPECT_FALSE(std::filesystem::exists(script)) << what;
        ExpectTakenBack(what, targets + "\\clip01.wmv", before.lastWrite);
    }

    /// The console of its own after a run of two targets: the script's lines, every call done,
    /// the summary.
    void ExpectConsoleDone(const char* what) const {
        const HWND console = window->WaitTopLevel(ids::kConsoleClass);
        ASSERT_TRUE(console) << what;
        EXPECT_NE(test::WindowProbe::TextOf(::GetDlgItem(console, ids::kConsoleOutput))
                      .find("clip02.wmv date/time changed succesfully"),
                  std::string::npos)
            << what;
        EXPECT_FALSE(::GetWindowLongW(::GetDlgItem(console, ids::kConsoleOutput), GWL_STYLE) &
                     ES_AUTOHSCROLL)
            << what << ": the output breaks its lines at its width";
        // The progress counts the calls, /C and /W for each; the summary counts the files.
        EXPECT_EQ(::SendMessageW(::GetDlgItem(console, ids::kConsoleProgress), PBM_GETPOS, 0, 0), 4)
            << what;
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(console, ids::kConsoleSummary)),
                  Shown("Valmis. Ajat asetettu tiedostoihin: 2. Aikoja ei voitu muuttaa: 0. "
                        "Kohdetiedostoa ei löytynyt: 0."))
            << what;
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(console, ids::kConsoleStop))) << what;
    }

    /// Takes the newest run back from the popup menu: the targets get their earlier times again,
    /// to the second, `target`'s `before`.
    void ExpectTakenBack(const char* what, const std::string& target,
                         platform::FileTime before) const {
        test::WindowProbe& probe = *window;
        probe.Command(ids::kPalautaaiemmatajat1);
        test::WindowProbe::Box box = probe.WaitBox();
        EXPECT_EQ(box.caption, "Confirm") << what;
        EXPECT_EQ(box.text.rfind(Shown("Palautetaanko 2 kohdetiedostolle"), 0), 0u) << box.text;
        // The buttons the question names.
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(box.window, IDYES)), form::text::kYesOwn);
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(box.window, IDNO)), form::text::kNoOwn);
        probe.Answer(box, IDYES);
        probe.Answer(probe.WaitBox(), IDOK);
        box = probe.WaitBox();
        EXPECT_EQ(box.text,
                  Shown(std::string(messages::kDone) + "\r\r" + messages::kFractionNotRestored))
            << what;
        platform::FileTimeSet after;
        ASSERT_FALSE(platform::GetFileTimes(target, after)) << what;
        EXPECT_EQ(after.lastWrite, before - before % kSecond) << what;
        probe.Answer(box, IDOK);
        EXPECT_EQ(probe.Close(), 0u) << what;
    }

    /// Makes the folder `name` in the list folder with `pairs` sources and their targets: the
    /// last target missing, the one before it with its source's time already; its path.
    std::string MakePairs(const std::string& name, int pairs) const {
        std::filesystem::create_directory(folder.path() / name);
        for (int i = 0; i < pairs; ++i) {
            const std::string stem = name + "\\" + Stem(i);
            test::SetLastWrite(folder.Write(stem + ".avi", "source"), 1105790407);
            if (i != pairs - 1)
                test::SetLastWrite(folder.Write(stem + ".wmv", "target"),
                                   i == pairs - 2 ? 1105790407 : 946684800);
        }
        return list + "\\" + name;
    }

    /// Puts Stamplet.exe's stand-in into the program folder, with the real one beside it, and has
    /// it wait at the call `waitAt`: the file that counts its calls.
    std::filesystem::path UseStandIn(int waitAt) const {
        std::filesystem::rename(programs.path() / "Stamplet.exe",
                                programs.path() / "Stamplet real.exe");
        std::filesystem::copy_file(STAMPLET_STAND_IN, programs.path() / "Stamplet.exe");
        programs.Write("wait at.txt", std::to_string(waitAt));
        return programs.path() / "calls.txt";
    }

    /// Has the stand-in count its calls from nought again and wait at the call `waitAt` (none
    /// for 0) of the next run.
    void GateAt(int waitAt) const {
        std::filesystem::remove(programs.path() / "calls.txt");
        std::filesystem::remove(programs.path() / "go");
        programs.Write("wait at.txt", std::to_string(waitAt));
    }

    /// The calls the stand-in has counted.
    int Calls() const {
        const std::string calls = test::ReadAll(programs.path() / "calls.txt");
        return static_cast<int>(std::count(calls.begin(), calls.end(), '\n'));
    }

    /// Waits for a box of the program's a while longer than WaitBox, `rounds` times as long:
    /// Wine takes its time over each of thousands of files and Stamplet calls.
    test::WindowProbe::Box SlowBox(int rounds = 3) const {
        test::WindowProbe::Box box;
        for (int round = 0; round < rounds && !box.window; ++round)
            box = window->WaitBox();
        return box;
    }

    /// The script-written box `box` as the system's own with OK, and its details for MakePairs'
    /// `pairs`: opened by its button, the counts first, then one line per pair in order with its
    /// mark; closed again by the same button.
    static void ExpectDetails(const test::WindowProbe::Box& box, int pairs) {
        EXPECT_EQ(box.caption, "Kronalo 1.3");
        EXPECT_EQ(box.text, Shown(messages::kScriptWritten));
        EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(box.window, IDOK)), "OK");
        const HWND more = ::GetDlgItem(box.window, ids::kDetailsButton);
        ASSERT_EQ(test::WindowProbe::TextOf(more), form::text::kShowDetails);
        ::SendMessageW(more, BM_CLICK, 0, 0);
        const HWND details = ::GetDlgItem(box.window, ids::kDetailsText);
        ASSERT_TRUE(details && ::IsWindowVisible(details)) << "the button opens the details";
        EXPECT_EQ(test::WindowProbe::TextOf(more), form::text::kHideDetails);
        const std::string shown = test::WindowProbe::TextOf(details);
        std::vector<std::string> lines;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 2)
            lines.push_back(shown.substr(start, (end = shown.find("\r\n", start)) - start));
        ASSERT_EQ(lines.size(), pairs + 2u) << shown.substr(0, 300);
        EXPECT_EQ(lines[0], "Kohdetiedostoja " + std::to_string(pairs) +
                                ", joista puuttuu 1 ja joilla on jo sama aika 1. Jätetään "
                                "ennalleen 0.");
        EXPECT_EQ(lines[1], "");
        for (int i = 0; i < pairs; ++i) {
            const std::string& line = lines[i + 2];
            const std::string pair = Stem(i) + ".avi -> " + Stem(i) + ".wmv: 15.1.2005 klo ";
            const std::string mark = i == pairs - 1   ? " [puuttuu]"
                                     : i == pairs - 2 ? " [aika on jo sama]"
                                                      : "";
            // The time of day is the zone's, its seconds the source's.
            if (!line.starts_with(pair) || line.size() != pair.size() + 8 + mark.size() ||
                line.compare(pair.size() + 5, 3 + mark.size(), ".07" + mark) != 0) {
                ADD_FAILURE() << "line " << i + 2 << ": " << line;
                break;
            }
        }
        ::SendMessageW(more, BM_CLICK, 0, 0);
        EXPECT_FALSE(::IsWindowVisible(details)) << "pressed again, the button closes them";
        EXPECT_EQ(test::WindowProbe::TextOf(more), form::text::kShowDetails);
    }

    /// Set before any window is opened, kept until the last is gone.
    DisplayScale scale{TestDpi()};
    test::TempFolder programs;
    test::TempFolder folder;
    std::string list;
    std::unique_ptr<test::WindowProbe> window;
};

// Guards the first start and the command-line argument through Kronalo.exe: caption and bounds,
// the ten default settings lines beside the program, and the folder part of the argument opened,
// also where Explorer quotes a folder or a drive's root with its backslash, which the C runtime
// takes for an escaped quote (the argument's rules are FormRulesTest's and FileListingTest's).
TEST_F(Win32WindowTest, FirstStartAndArguments) {
    test::WindowProbe& first = Open({});
    ASSERT_TRUE(first.Window()) << "Kronalo.exe did not show its window";
    EXPECT_EQ(test::WindowProbe::TextOf(first.Window()), "Kronalo 1.3");
    RECT frame;
    ::GetWindowRect(first.Window(), &frame);
    EXPECT_EQ(frame.right - frame.left, 651);
    EXPECT_EQ(frame.bottom - frame.top, 382);
    EXPECT_EQ(test::ReadAll(programs.path() / "Kronalo.dat"),
              "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n");
    EXPECT_EQ(first.Text(ids::kPath), DesktopFolder()) << "the desktop is the first pick";

    const WineDrive drive(list);
    const std::vector<std::string> clips = {"clip01.avi", "clip02.avi"};
    const struct {
        const char* what;
        std::string argument;
        std::string pathText;
        std::vector<std::string> items;
        bool asTyped = false; ///< The argument stands on the command line as it is.
    } rows[] = {
        {"a file path", list + "\\clip01.avi", list + "\\", clips},
        {"a folder with its backslash", list + "\\", list + "\\", clips},
        {"a folder without it", list, list + "\\", clips},
        {"a missing folder", list + "\\gone\\x.avi", DesktopFolder(), {}},
        {"a folder as Explorer quotes it", "\"" + list + "\\\"", list + "\\", clips, true},
        {"a drive's root as Explorer quotes it", "\"" + drive.Root() + "\"", drive.Root(), clips,
         true},
    };
    for (const auto& row : rows) {
        if (row.pathText.empty()) {
            ADD_FAILURE() << row.what << ": no drive could be made";
            continue;
        }
        test::WindowProbe& probe = Open({row.argument}, row.asTyped);
        EXPECT_EQ(probe.Text(ids::kPath), row.pathText) << row.what;
        if (row.pathText != DesktopFolder()) {
            EXPECT_EQ(probe.Items(), row.items) << row.what;
            EXPECT_EQ(probe.Selected(), std::vector<bool>(row.items.size(), true)) << row.what;
        }
    }
}

/// The place of the window's control `id` in its client area; the client area itself for 0.
RECT PlaceOf(const test::WindowProbe& probe, int id) {
    RECT place{};
    if (!id) {
        ::GetClientRect(probe.Window(), &place);
        return place;
    }
    ::GetWindowRect(probe.Control(id), &place);
    ::MapWindowPoints(nullptr, probe.Window(), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

/// The sizes the display's scale must scale, by name: the client area's, controls' and the
/// file list's rows.
std::vector<std::pair<std::string, int>> Sizes(const test::WindowProbe& probe) {
    std::vector<std::pair<std::string, int>> sizes;
    const struct {
        const char* what;
        int id;
    } rows[] = {
        {"the client area", 0},
        {"the run button", ids::kDoItBtn},
        {"the more button", ids::kButton1},
        {"the select-all box", ids::kSelectAllBox},
        {"the target field", ids::kToNameEdit},
        {"the path box", ids::kPath},
        {"the file list", ids::kFileList},
        {"the divider", ids::kSplitter1},
    };
    for (const auto& row : rows) {
        const RECT place = PlaceOf(probe, row.id);
        sizes.emplace_back(std::string(row.what) + "'s width", place.right - place.left);
        sizes.emplace_back(std::string(row.what) + "'s height", place.bottom - place.top);
    }
    sizes.emplace_back(
        "the file list's rows",
        static_cast<int>(::SendMessageW(probe.Control(ids::kFileList), LB_GETITEMHEIGHT, 0, 0)));
    return sizes;
}

/// The width and height of `text` in the window's font at `dpi`, its lines broken at `widest`
/// where `wrap`; a "&" marks the next letter, as in the controls.
SIZE Extent(const std::string& text, int dpi, int widest, bool wrap) {
    const HFONT font = ::CreateFontW(
        -form::layout::ScaleFont(form::layout::kFontPixels, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
        FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
        DEFAULT_PITCH | FF_SWISS, platform::Wide(form::layout::kFontFace).c_str());
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ before = ::SelectObject(dc, font);
    RECT bounds{0, 0, widest, 0};
    ::DrawTextW(dc, platform::Wide(text).c_str(), -1, &bounds,
                DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, before);
    ::DeleteDC(dc);
    ::DeleteObject(font);
    return {bounds.right, bounds.bottom};
}

/// The height of the filter's edit: as high as its font's lines, and a few pixels more.
int EditHeight(const test::WindowProbe& probe) {
    return static_cast<int>(
        ::SendMessageW(probe.Control(ids::kFilter), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
}

/// No two visible controls of the window `probe` overlap.
void ExpectNoOverlap(const test::WindowProbe& probe) {
    std::vector<std::pair<int, RECT>> shown;
    for (HWND child = ::GetWindow(probe.Window(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child))
            shown.emplace_back(::GetDlgCtrlID(child), PlaceOf(probe, ::GetDlgCtrlID(child)));
    ASSERT_GE(shown.size(), 12u);
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            RECT both;
            EXPECT_FALSE(::IntersectRect(&both, &shown[i].second, &shown[j].second))
                << "controls " << shown[i].first << " and " << shown[j].first << " overlap";
        }
}

/// Each caption of the window `probe` whole in its control, in the window's font at `dpi`.
void ExpectCaptionsWhole(const test::WindowProbe& probe, int dpi) {
    // A check box's caption stands right of its box.
    const int box = form::layout::Scale(16, dpi);
    const struct {
        const char* what;
        int id;
        int beside; ///< Taken by what stands left of the caption.
        bool wrap;  ///< The caption may take more lines.
    } captions[] = {
        {"the run button", ids::kDoItBtn, 0, false},
        {"the select-all button", ids::kSelectAllBtn, 0, false},
        {"the more button", ids::kButton1, 0, false},
        {"the select-all box", ids::kSelectAllBox, box, false},
        {"the filter's label", ids::kLabel1, 0, false},
        {"the target's label", ids::kLabel2, 0, false},
        {"the target's hint", ids::kLabel3, 0, true},
    };
    for (const auto& row : captions) {
        RECT client;
        ::GetClientRect(probe.Control(row.id), &client);
        const int width = client.right - row.beside;
        const SIZE text = Extent(probe.Text(row.id), dpi, width, row.wrap);
        EXPECT_LE(text.cx, width) << row.what << ": " << probe.Text(row.id);
        EXPECT_LE(text.cy, client.bottom) << row.what << ": " << probe.Text(row.id);
    }
}

// Guards the window at the display's scale (KRONALO_TEST_DPI, as ctest's 144 dpi run sets it),
// started there and moved there from a display at 100 %: each measure as large as at 96 dpi times
// the scale, within a tenth; no two visible controls overlapping; and each caption whole in its
// control, in the window's font at that scale.
TEST_F(Win32WindowTest, FollowsTheDisplayScale) {
    const int dpi = TestDpi();
    scale.Set(form::layout::kBaseDpi);
    const auto at96 = Sizes(Open({}));
    const int edit96 = EditHeight(*window);
    const auto expectScaled = [&](const test::WindowProbe& probe, const std::string& how) {
        const auto scaled = Sizes(probe);
        ASSERT_EQ(scaled.size(), at96.size());
        for (std::size_t i = 0; i < scaled.size(); ++i) {
            const double expected = at96[i].second * dpi / double(form::layout::kBaseDpi);
            EXPECT_NEAR(scaled[i].second, expected, expected / 10)
                << scaled[i].first << " " << how << " (" << at96[i].second << " at 96 dpi)";
        }
        // The font follows the scale: the edit grows by at least half as much as the scale says.
        EXPECT_GE(2 * form::layout::kBaseDpi * EditHeight(probe),
                  edit96 * (form::layout::kBaseDpi + dpi))
            << "the filter's edit " << how << " (" << edit96 << " at 96 dpi)";
        ExpectNoOverlap(probe);
        ExpectCaptionsWhole(probe, dpi);
    };
    scale.Set(dpi);
    ASSERT_TRUE(Open({}).Window()) << "Kronalo.exe did not show its window";
    expectScaled(*window, "started at " + std::to_string(dpi) + " dpi");

    // Moved from a display at 100 % to one at the scale, in the frame Windows suggests.
    scale.Set(form::layout::kBaseDpi);
    test::WindowProbe& moved = Open({});
    RECT frame;
    ::GetWindowRect(moved.Window(), &frame);
    frame.right = frame.left + form::layout::Scale(frame.right - frame.left, dpi);
    frame.bottom = frame.top + form::layout::Scale(frame.bottom - frame.top, dpi);
    moved.ChangeScale(dpi, frame);
    moved.Settle();
    expectScaled(moved, "moved to " + std::to_string(dpi) + " dpi");
}

// Guards the filter and the selection: masks merged at ";", a mask twice lists twice, hidden and
// system files and folders never listed; every selection command; F6 only from the list, Alt+D
// from anywhere.
TEST_F(Win32WindowTest, FiltersSelectionAndKeys) {
    test::WindowProbe& probe = OpenInFolder();
    const struct {
        const char* filter;
        std::vector<std::string> items;
    } rows[] = {
        {"*.avi;*.wmv", {"clip01.avi", "clip01.wmv", "clip02.avi", "clip02.wmv"}},
        {"*.avi;*.AVI", {"clip01.avi", "clip01.avi", "clip02.avi", "clip02.avi"}},
        {"*i;*v", {"clip01.avi", "clip01.wmv", "clip02.avi", "clip02.wmv"}},
    };
    for (const auto& row : rows) {
        Retype(probe, row.filter);
        EXPECT_EQ(probe.Items(), row.items) << row.filter;
    }

    const struct {
        int command;
        std::vector<bool> after;
    } commands[] = {
        {ids::kValitsejokatoinen1, {true, false, true, false}},
        {ids::kKnteinenvalinta1, {false, true, false, true}},
        {ids::kValitsejokatoinenjovalitut1, {true, true, true, true}},
        {ids::kKnteinenvalinta1, {false, false, false, false}},
        {ids::kValitsekaikki1, {true, true, true, true}},
    };
    for (const auto& row : commands) {
        probe.Command(row.command);
        // A posted command may come after the probe's own messages on a loaded machine.
        test::WindowProbe::Until([&] { return probe.Selected() == row.after; });
        EXPECT_EQ(probe.Selected(), row.after) << row.command;
        EXPECT_EQ(probe.Focused(), ids::kFileList) << row.command;
    }
    const auto focusReaches = [&probe](int id) {
        return test::WindowProbe::Until([&probe, id] { return probe.Focused() == id; });
    };
    probe.Keys("F6");
    EXPECT_TRUE(focusReaches(ids::kPath)) << "F6 from the list";
    probe.Keys("Tab");
    EXPECT_TRUE(focusReaches(ids::kComboBox)) << "the tab order";
    probe.Keys("alt+p");
    ASSERT_TRUE(focusReaches(ids::kFilter));
    // A letter after F6 shows where the focus was once F6 had been handled.
    const std::string filter = probe.Text(ids::kFilter);
    probe.Keys("F6 End x");
    EXPECT_TRUE(test::WindowProbe::Until([&] { return probe.Text(ids::kFilter) == filter + "x"; }))
        << "F6 from the filter does nothing";
    Retype(probe, filter);
    probe.Keys("alt+d");
    EXPECT_TRUE(focusReaches(ids::kPath)) << "Alt+D from anywhere";

    probe.Press(ids::kSelectAllBox);
    probe.Settle();
    EXPECT_FALSE(probe.Checked(ids::kSelectAllBox));
    EXPECT_EQ(probe.Selected(), std::vector<bool>(4, true)) << "unchecking changes no selection";
}

// Guards the run's boxes with their exact texts, from the blank pattern to the empty list; the
// question with its caption, answered No by its button and by Esc.
TEST_F(Win32WindowTest, RunMessages) {
    test::WindowProbe& probe = OpenInFolder();
    const auto expect = [&probe](const std::string& caption, const std::string& text, int answer) {
        const test::WindowProbe::Box box = probe.WaitBox();
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.text, Shown(text));
        probe.Answer(box, answer);
    };
    probe.SetText(ids::kToNameEdit, "  ");
    probe.Press(ids::kDoItBtn);
    expect("Kronalo 1.3", messages::kBlankPattern, IDOK);

    probe.SetText(ids::kToNameEdit, "*.avi");
    probe.Press(ids::kDoItBtn);
    expect("Kronalo 1.3", messages::TargetIsSource("clip01.avi"), IDOK);

    probe.SetText(ids::kToNameEdit, "*.wmv");
    probe.Command(ids::kKnteinenvalinta1);
    probe.Press(ids::kDoItBtn);
    expect("Confirm", messages::kNothingSelected, IDNO);
    // Esc is the question's cancel button, which means No: nothing is selected or written.
    probe.Press(ids::kDoItBtn);
    const test::WindowProbe::Box question = probe.WaitBox();
    EXPECT_EQ(question.text, Shown(messages::kNothingSelected));
    EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(question.window, IDYES)), form::text::kYes);
    EXPECT_EQ(test::WindowProbe::TextOf(::GetDlgItem(question.window, IDNO)), form::text::kNo);
    probe.Keys("Escape", "Confirm");
    EXPECT_TRUE(test::WindowProbe::Until([&] { return !::IsWindow(question.window); }));
    probe.Settle();
    EXPECT_EQ(probe.Selected(), std::vector<bool>(2, false)) << "Esc answered No";
    EXPECT_FALSE(std::filesystem::exists(list + "\\" + folder.path().filename().string() +
                                         " FileDateAndTime File.bat"));

    std::filesystem::remove(folder.path() / "clip01.avi");
    probe.Command(ids::kValitsekaikki1);
    probe.Press(ids::kDoItBtn);
    expect("Kronalo 1.3", messages::TimesUnreadable("clip01.avi"), IDOK);

    Retype(probe, "*.mpg");
    probe.Press(ids::kDoItBtn);
    expect("Kronalo 1.3", messages::EmptyList("*.mpg"), IDOK);
    EXPECT_EQ(probe.Close(), 0u);
}

// Guards a whole run, with the targets beside their sources and on C: from a list folder on
// another drive: the batch script stands in the list folder while the script-written box waits,
// cmd runs it with the real Stamplet.exe and Kronalo's console shows its lines, progress and
// summary, every target gets its source's last-write time, the final box is the success box and
// the script is gone. Then the run is taken back from the popup menu.
TEST_F(Win32WindowTest, WholeRun) {
    const test::TempFolder other;
    const WineDrive drive(other.str());
    const std::string converted = "C:\\Muunnetut";
    ASSERT_FALSE(std::filesystem::exists(converted)) << converted << " is someone else's";
    const struct Gone {
        std::string path;
        ~Gone() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } gone{converted};
    const struct {
        const char* what;
        std::string listFolder;
        std::string targets;
        std::string pattern;
    } rows[] = {
        {"beside the sources", list, list, "*.wmv"},
        {"on C: from a list folder on another drive",
         drive.Root().empty() ? "" : drive.Root() + "klipit", converted, converted + "\\*.wmv"},
    };
    for (const auto& row : rows) {
        if (row.listFolder.empty()) {
            ADD_FAILURE() << row.what << ": no drive could be made";
            continue;
        }
        for (const std::string& made : {row.listFolder, row.targets})
            std::filesystem::create_directories(made);
        for (const char* name : {"clip01.avi", "clip02.avi"})
            std::ofstream(row.listFolder + "\\" + name) << "video";
        for (const char* name : {"clip01.wmv", "clip02.wmv"})
            std::ofstream(row.targets + "\\" + name) << "video";
        RunAndTakeBack(row.what, row.listFolder, row.targets, row.pattern);
    }
}

// Guards every name through Kronalo.exe, cmd and Stamplet.exe: a program folder whose name the
// console's table lacks, and list folders named as Windows allows, with letters outside every
// single-byte code page and with the characters cmd reads as commands or variables. The settings
// file stands beside the program, the list shows every source as it is named, the run stamps
// every target there is with its source's last-write time and the console names them right, the
// characters that would reorder a line escaped; no batch file named after a word of the folder's
// name runs. A missing last target makes cmd's exit status Stamplet's failure, and the verdict
// still says that the script ran to its end.
TEST_F(Win32WindowTest, EveryName) {
    const std::string programFolder = programs.str() + "\\Ty\u00f6kalut \u0151";
    std::filesystem::create_directory(test::PathOf(programFolder));
    for (const char* program : {"Kronalo.exe", "Stamplet.exe"})
        std::filesystem::copy_file(programs.path() / program,
                                   test::PathOf(programFolder) / program);
    const std::vector<std::string> clips = {"clip01", "clip02", "clip03"};
    const struct {
        std::string folder;
        std::vector<std::string> stems;
        bool lastTargetMissing;
        /// Where Wine's cmd differs from Windows': why only the decoys are checked there.
        const char* wineDiffers;
    } rows[] = {
        {"\u00d8velser \u2013 2024",
         {"\u0416\u0438\u0437\u043d\u044c", "caf\u00e9\u2019s cr\u00e8me", "\u00f8rken \u00df",
          "\U0001F3AC clip", "Kes\u00e4"},
         false,
         nullptr},
        {"\u202Ereversed", {"a\u202Eiva", "b\u2067c\u2069", "d\u200Fe\u061C"}, false, nullptr},
        {"v&evil", clips, true, nullptr},
        {"\u0416\u0438\u0437\u043d\u044c & evil", clips, true, nullptr},
        {"Tom & Jerry", clips, true, nullptr},
        {"Videos (2024)", clips, true, nullptr},
        {"a^b", clips, true, nullptr},
        {"x%PATH%y", clips, true,
         "Wine's cmd expands %...% again inside the value of the variable that holds the "
         "script's path, so it looks for a script under PATH's value; Windows' cmd expands once"},
        {"100% (final)", clips, true, nullptr},
        {"!wow!", clips, true, nullptr},
        {"@home", clips, true, nullptr},
    };
    const std::string marker = programs.str() + "\\decoy ran.txt";
    for (const auto& row : rows) {
        const std::string listFolder = list + "\\" + row.folder;
        std::filesystem::create_directory(test::PathOf(listFolder));
        std::filesystem::remove(test::PathOf(marker));
        PlantDecoys(listFolder, row.folder, marker);
        PlantDecoys(list, row.folder, marker);
        std::vector<std::string> sources;
        const engine::TargetReport report =
            MakeSources(listFolder, row.stems, row.lastTargetMissing, sources);
        const test::WindowProbe::Box box = RunIn(programFolder, listFolder, sources);
        EXPECT_TRUE(std::filesystem::exists(test::PathOf(programFolder + "\\Kronalo.dat")));
        EXPECT_FALSE(std::filesystem::exists(test::PathOf(marker))) << row.folder;
        if (row.wineDiffers && UnderWine()) {
            std::cout << row.folder << ": only the decoys checked under Wine: " << row.wineDiffers
                      << "\n";
        } else {
            EXPECT_EQ(box.text, Shown(messages::RunVerdict(true, report))) << row.folder;
            ExpectStamped(listFolder, row.stems, report.stamped);
        }
        window->Answer(box, IDOK);
        EXPECT_EQ(window->Close(), 0u) << row.folder;
        EXPECT_FALSE(std::filesystem::exists(
            test::PathOf(listFolder + "\\" + row.folder + " FileDateAndTime File.bat")))
            << row.folder;
    }
}

// Guards the question asked when the console is closed during a run: once the run it asks about
// has ended, it closes by itself, the run's verdict follows, and the console stays.
TEST_F(Win32WindowTest, StopQuestionClosesAtTheRunsEnd) {
    const std::string pairs = MakePairs("few", 2);
    const std::filesystem::path calls = UseStandIn(1);
    test::WindowProbe& probe = Open({pairs + "\\" + Stem(0) + ".avi"});
    probe.Press(ids::kDoItBtn);
    const test::WindowProbe::Box written = probe.WaitBox();
    ASSERT_TRUE(written.window);
    EXPECT_EQ(written.text, Shown(messages::kScriptWritten));
    probe.Answer(written, IDOK);
    ASSERT_TRUE(test::WindowProbe::Until([&] { return test::ReadAll(calls) == "call\n"; }))
        << "the first call waits";
    const HWND console = probe.WaitTopLevel(ids::kConsoleClass);
    ::PostMessageW(console, WM_CLOSE, 0, 0);
    const test::WindowProbe::Box ask = probe.WaitBox();
    ASSERT_TRUE(ask.window);
    EXPECT_EQ(ask.text, Shown(form::text::kStopOrWait));
    programs.Write("go");
    const bool closed = test::WindowProbe::Until(
        [&] { return !::IsWindow(ask.window) || !::IsWindowVisible(ask.window); });
    EXPECT_TRUE(closed) << "the question outlived its run";
    if (!closed)
        probe.Answer(ask, IDNO);
    const test::WindowProbe::Box verdict = probe.WaitBox();
    ASSERT_TRUE(verdict.window);
    EXPECT_NE(verdict.text, Shown(form::text::kStopOrWait));
    EXPECT_EQ(verdict.text.find(Shown("keskeytettiin")), std::string::npos) << verdict.text;
    probe.Answer(verdict, IDOK);
    probe.Settle();
    EXPECT_TRUE(::IsWindowVisible(console));
    EXPECT_EQ(probe.Close(), 0u);
}

// Guards what the user sees before and can do during a long run: the script-written box keeps
// its text and OK and opens one line per pair with its marks and their counts on demand. Closing
// the console while the script runs asks, and No lets it run on. The console's stop ends a run of
// 2,000 pairs after the Stamplet call in progress, never in one: fewer than all are stamped, none
// half, no script is left, the verdict names the stop, and a restore brings the stamped ones back.
// Stamplet.exe's stand-in waits in the fourth call, the second target's last-write time, until the
// stop has been pressed.
TEST_F(Win32WindowTest, DetailsBeforeAndStopDuring) {
    constexpr int kPairs = 2000;
    const std::string pairs = MakePairs("pairs", kPairs);
    const std::filesystem::path calls = UseStandIn(4);
    test::WindowProbe& probe = Open({pairs + "\\" + Stem(0) + ".avi"});
    ASSERT_EQ(probe.Items().size(), static_cast<std::size_t>(kPairs));
    probe.Press(ids::kDoItBtn);
    const test::WindowProbe::Box box = SlowBox();
    ASSERT_TRUE(box.window);
    ExpectDetails(box, kPairs);
    probe.Answer(box, IDOK);

    const std::string four = "call\ncall\ncall\ncall\n";
    ASSERT_TRUE(test::WindowProbe::Until([&] { return test::ReadAll(calls) == four; }))
        << "the fourth call waits: " << test::ReadAll(calls);
    const HWND console = probe.WaitTopLevel(ids::kConsoleClass);
    // Closed while the call waits: the question, and No lets the run go on with the console up.
    ::PostMessageW(console, WM_CLOSE, 0, 0);
    const test::WindowProbe::Box ask = probe.WaitBox();
    EXPECT_EQ(ask.caption, "Confirm");
    EXPECT_EQ(ask.text, Shown(form::text::kStopOrWait));
    probe.Answer(ask, IDNO);
    probe.Settle();
    EXPECT_TRUE(::IsWindowVisible(console)) << "No keeps the console";
    const HWND stop = ::GetDlgItem(console, ids::kConsoleStop);
    EXPECT_EQ(test::WindowProbe::TextOf(stop), form::text::kConsoleStop);
    ASSERT_TRUE(::IsWindowEnabled(stop));
    ::SendMessageW(stop, BM_CLICK, 0, 0);
    programs.Write("go");
    const test::WindowProbe::Box verdict = SlowBox();
    EXPECT_EQ(verdict.text.rfind(Shown("VAROITUS! Ajo keskeytettiin käyttäjän pyynnöstä."), 0), 0u)
        << verdict.text;
    EXPECT_EQ(test::ReadAll(calls), four) << "no call after the stop";
    EXPECT_NE(test::WindowProbe::TextOf(::GetDlgItem(console, ids::kConsoleSummary))
                  .find(Shown(form::text::kConsoleStopped)),
              std::string::npos);
    EXPECT_FALSE(::IsWindowEnabled(stop));
    const auto lastWrite = [&pairs](int i) {
        platform::FileTimeSet times;
        EXPECT_FALSE(platform::GetFileTimes(pairs + "\\" + Stem(i) + ".wmv", times)) << i;
        return times.lastWrite;
    };
    EXPECT_EQ(lastWrite(0), At(1105790407));
    EXPECT_EQ(lastWrite(1), At(1105790407)) << "the call in progress ran to its end";
    EXPECT_EQ(lastWrite(2), At(946684800)) << "none followed it";
    probe.Answer(verdict, IDOK);
    probe.Settle();
    EXPECT_FALSE(std::filesystem::exists(pairs + "\\pairs FileDateAndTime File.bat"));

    probe.Command(ids::kPalautaaiemmatajat1);
    const test::WindowProbe::Box question = probe.WaitBox();
    EXPECT_EQ(question.text.rfind(Shown("Palautetaanko 2 kohdetiedostolle"), 0), 0u)
        << question.text;
    probe.Answer(question, IDYES);
    probe.Answer(SlowBox(), IDOK);
    probe.Answer(SlowBox(), IDOK);
    for (const int i : {0, 1})
        EXPECT_EQ(lastWrite(i), At(946684800)) << Stem(i) << " taken back";
    EXPECT_EQ(probe.Close(), 0u);
}

// Guards a stop that falls between the calls of one file: a time copy makes two calls a target
// here (its creation time, then its last-write time) and a restore three (creation, last access,
// last write). Keskeytä is pressed while the stand-in waits in a call that is not its file's
// last: that file's remaining calls still run, no later file's call is made, and the verdict
// names the stop. The next restore offers only the rest and gives them back whole.
TEST_F(Win32WindowTest, StopBetweenTheCallsOfAFile) {
    constexpr long long kSource = 1105790407, kBefore = 946684800;
    const struct {
        const char* what;
        bool restore;
        int waitAt;        ///< The call in progress when Keskeytä is pressed.
        int calls;         ///< The calls made once that call's file is done.
        int inProgress;    ///< The pair of that file.
        long long afterIt; ///< Its target's last-write time after the run; the next one's is the
                           ///< other of kSource and kBefore, as before the run.
    } rows[] = {
        {"a time copy, in the third target's creation-time call", false, 5, 6, 2, kSource},
        {"a restore, in the second target's last-access call", true, 5, 6, 1, kBefore},
    };
    UseStandIn(0);
    for (const auto& row : rows) {
        const std::string pairs = MakePairs(row.restore ? "restore" : "copy", 6);
        const auto lastWrite = [&pairs](int i) {
            platform::FileTimeSet times;
            EXPECT_FALSE(platform::GetFileTimes(pairs + "\\" + Stem(i) + ".wmv", times)) << i;
            return times.lastWrite;
        };
        GateAt(row.restore ? 0 : row.waitAt);
        test::WindowProbe& probe = Open({pairs + "\\" + Stem(0) + ".avi"});
        probe.Press(ids::kDoItBtn);
        probe.Answer(probe.WaitBox(), IDOK);
        int offered = 0;
        if (row.restore) {
            probe.Answer(SlowBox(), IDOK);
            GateAt(row.waitAt);
            probe.Command(ids::kPalautaaiemmatajat1);
            const test::WindowProbe::Box question = probe.WaitBox();
            std::sscanf(question.text.c_str(), "Palautetaanko %d", &offered);
            probe.Answer(question, IDYES);
            probe.Answer(probe.WaitBox(), IDOK);
        }
        ASSERT_TRUE(test::WindowProbe::Until([&] { return Calls() == row.waitAt; }))
            << row.what << ": the call waits: " << Calls();
        const HWND console = probe.WaitTopLevel(ids::kConsoleClass);
        ::SendMessageW(::GetDlgItem(console, ids::kConsoleStop), BM_CLICK, 0, 0);
        programs.Write("go");
        const test::WindowProbe::Box verdict = SlowBox();
        EXPECT_EQ(verdict.text.rfind(Shown("VAROITUS! Ajo keskeytettiin käyttäjän pyynnöstä."), 0),
                  0u)
            << row.what << ": " << verdict.text;
        // Under Wine a creation time reads as the last-write time, and every call sets the
        // last-write time too: a time copy's first call already gives the target its time.
        EXPECT_EQ(Calls(), row.calls) << row.what << ": the file in progress is done, no other";
        EXPECT_EQ(lastWrite(row.inProgress), At(row.afterIt)) << row.what;
        EXPECT_EQ(lastWrite(row.inProgress + 1), At(row.afterIt == kSource ? kBefore : kSource))
            << row.what << ": none followed it";
        probe.Answer(verdict, IDOK);
        if (row.restore) {
            GateAt(0);
            probe.Command(ids::kPalautaaiemmatajat1);
            const test::WindowProbe::Box question = probe.WaitBox();
            EXPECT_EQ(
                question.text.rfind(
                    Shown("Palautetaanko " + std::to_string(offered - 2) + " kohdetiedostolle"), 0),
                0u)
                << row.what << ": only the rest of " << offered << ": " << question.text;
            probe.Answer(question, IDYES);
            probe.Answer(probe.WaitBox(), IDOK);
            const test::WindowProbe::Box done = SlowBox();
            EXPECT_EQ(done.text,
                      Shown(std::string(messages::kDone) + "\r\r" + messages::kFractionNotRestored))
                << row.what;
            probe.Answer(done, IDOK);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(lastWrite(i), At(kBefore)) << row.what << ": " << Stem(i);
        }
        EXPECT_EQ(probe.Close(), 0u) << row.what;
    }
}

// Guards a target folder swapped in the middle of a run of 1,500 pairs whose targets lie in
// ..\out: while the stand-in waits in the 55th call, the user's out is renamed to out-mine, to
// put a folder with files of the same names in its place. The run holds the folder, so the
// rename is refused, every one of the user's files gets its source's time and the verdict is the
// success. Were it renamed after all, no file of the folder that took its place may be stamped,
// and the verdict names the move.
TEST_F(Win32WindowTest, TargetFolderSwappedDuringTheRun) {
    constexpr int kPairs = 1500;
    const std::filesystem::path out = folder.path() / "swap" / "out",
                                mine = folder.path() / "swap" / "out-mine";
    std::filesystem::create_directories(folder.path() / "swap" / "list");
    std::filesystem::create_directories(out);
    for (int i = 0; i < kPairs; ++i) {
        test::SetLastWrite(folder.Write("swap\\list\\" + Stem(i) + ".avi", "source"), 1105790407);
        test::SetLastWrite(folder.Write("swap\\out\\" + Stem(i) + ".wmv", "converted"), 946684800);
    }
    UseStandIn(55);
    test::WindowProbe& probe = Open({list + "\\swap\\list\\" + Stem(0) + ".avi"});
    ASSERT_EQ(probe.Items().size(), static_cast<std::size_t>(kPairs));
    probe.SetText(ids::kToNameEdit, "..\\out\\*.wmv");
    probe.Press(ids::kDoItBtn);
    const test::WindowProbe::Box written = SlowBox();
    EXPECT_EQ(written.text, Shown(messages::kScriptWritten));
    probe.Answer(written, IDOK);
    ASSERT_TRUE(test::WindowProbe::Until([&] { return Calls() == 55; })) << Calls();

    std::error_code refused;
    std::filesystem::rename(out, mine, refused);
    EXPECT_TRUE(refused) << "the folder the run holds was renamed";
    if (!refused) {
        std::filesystem::create_directory(out);
        for (int i = 0; i < kPairs; ++i)
            test::SetLastWrite(folder.Write("swap\\out\\" + Stem(i) + ".wmv", "the neighbour's"),
                               946684800);
    }
    // Past the gate the real Stamplet.exe takes the stand-in's place: a start less a call.
    std::filesystem::rename(programs.path() / "Stamplet.exe",
                            programs.path() / "Stamplet stand-in.exe");
    std::filesystem::copy_file(programs.path() / "Stamplet real.exe",
                               programs.path() / "Stamplet.exe");
    programs.Write("go");
    // Some 3,000 Stamplet starts, each a while under Wine.
    const test::WindowProbe::Box verdict = SlowBox(30);
    ASSERT_TRUE(verdict.window) << Calls() << " calls";
    const std::filesystem::path users = refused ? out : mine;
    int stamped = 0, neighbours = 0;
    for (int i = 0; i < kPairs; ++i) {
        platform::FileTimeSet times;
        stamped += !platform::GetFileTimes((users / (Stem(i) + ".wmv")).string(), times) &&
                   times.lastWrite == At(1105790407);
        neighbours += !refused &&
                      !platform::GetFileTimes((out / (Stem(i) + ".wmv")).string(), times) &&
                      times.lastWrite == At(1105790407);
    }
    EXPECT_EQ(stamped, kPairs) << "the user's files, in the folder held";
    EXPECT_EQ(neighbours, 0) << "the files of the folder that took its place";
    if (refused)
        EXPECT_EQ(verdict.text, Shown(messages::kDone));
    else
        EXPECT_NE(verdict.text.find(Shown(messages::FolderMovedDuringRun(
                      list + "\\swap\\list\\..\\out\\", list + "\\swap\\list\\..\\out\\"))),
                  std::string::npos)
            << verdict.text;
    probe.Answer(verdict, IDOK);
    EXPECT_EQ(probe.Close(), 0u);
}

// The console of this process: the script's output shows in pieces while the script runs, and at
// its end everything that came, in order; of a long output only its last lines, while the
// progress counts every call.
TEST(Win32ConsoleTest, ShowsTheLastLinesInOrder) {
    constexpr int kKept = win32::TStampConsole::kKeptLines;
    const struct {
        const char* what;
        int lines;
        bool ended;
    } rows[] = {
        {"a few lines, at the end", 5, true},
        {"a few lines, while the script runs", 5, false},
        {"more lines than kept, at the end", 2 * kKept + 7, true},
    };
    win32::TStampConsole console(nullptr, ::GetModuleHandleW(nullptr));
    HWND window = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND found, LPARAM into) {
            wchar_t name[64] = L"";
            ::GetClassNameW(found, name, 64);
            if (std::wstring_view(name) == ids::kConsoleClass)
                *reinterpret_cast<HWND*>(into) = found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&window));
    ASSERT_TRUE(window);
    const HWND output = ::GetDlgItem(window, ids::kConsoleOutput);
    for (const auto& row : rows) {
        console.Begin(static_cast<std::size_t>(row.lines), "running");
        for (int line = 0; line < row.lines;) {
            std::string piece;
            for (const int end = std::min(row.lines, line + 100); line < end; ++line)
                piece += (piece.empty() ? "line " : "\nline ") + std::to_string(line);
            console.Append(piece);
            console.Progress(static_cast<std::size_t>(line));
        }
        const std::string last = "line " + std::to_string(row.lines - 1) + "\r\n";
        if (row.ended)
            console.End("done");
        else
            EXPECT_TRUE(test::WindowProbe::Until([&] {
                for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
                    ::DispatchMessageW(&message);
                return test::WindowProbe::TextOf(output).ends_with(last);
            })) << row.what;
        std::istringstream text(test::WindowProbe::TextOf(output));
        int shown = 0, first = -1;
        for (std::string line; std::getline(text, line); ++shown) {
            if (first < 0)
                first = std::atoi(line.c_str() + 5);
            EXPECT_EQ(line, "line " + std::to_string(first + shown) + "\r") << row.what;
        }
        EXPECT_EQ(first + shown, row.lines) << row.what << ": the last line shown";
        EXPECT_GE(shown, std::min(row.lines, kKept)) << row.what;
        EXPECT_LE(shown, kKept + kKept / 4) << row.what;
        EXPECT_EQ(::SendMessageW(::GetDlgItem(window, ids::kConsoleProgress), PBM_GETPOS, 0, 0),
                  row.lines)
            << row.what;
    }
}

} // namespace
