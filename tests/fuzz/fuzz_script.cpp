// The script writers. The input, split at NUL bytes, gives up to six target names. The POSIX
// script must parse with sh -n and, run by /bin/sh against a recorder in Stamplet's place (a
// shell script that writes its arguments between the bytes 2 and 3, each ended by NUL), call it
// with exactly the intended arguments. Every batch stamp line that the writer accepts must
// quote the name the console will read back as the same name.

#include "engine/CodePage.h"
#include "engine/StampFormat.h"
#include "engine/StampScript.h"
#include "platform/HeldFile.h"
#include "tests/support/ProgramRun.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

const engine::TDateTime kCreated = engine::EncodeDateTime({2006, 3, 7, 14, 5, 9, 0});
const engine::TDateTime kWritten = engine::EncodeDateTime({2006, 3, 7, 14, 52, 40, 0});

const std::string& ListFolder() {
    static const std::string folder = [] {
        std::random_device seed;
        const auto path = std::filesystem::temp_directory_path() /
                          ("kronalo-fuzz-" + std::to_string(seed()) + " it's $x");
        std::filesystem::create_directories(path / "program");
        std::ofstream(path / "program" / "Stamplet")
            << "#!/bin/sh\nprintf '\\2'\nfor a; do printf '%s\\0' \"$a\"; done\nprintf '\\3'\n";
        std::filesystem::permissions(path / "program" / "Stamplet",
                                     std::filesystem::perms::owner_all);
        return path.string();
    }();
    return folder;
}

std::vector<std::vector<std::string>> RecordedCalls(const std::string& output) {
    std::vector<std::vector<std::string>> calls;
    std::size_t at = 0;
    while ((at = output.find('\2', at)) != std::string::npos) {
        const std::size_t end = output.find('\3', at);
        if (end == std::string::npos)
            std::abort();
        std::vector<std::string> arguments;
        std::size_t start = at + 1;
        for (std::size_t nul; (nul = output.find('\0', start)) < end; start = nul + 1)
            arguments.push_back(output.substr(start, nul - start));
        calls.push_back(arguments);
        at = end + 1;
    }
    return calls;
}

void CheckShell(const std::vector<std::string>& names) {
    std::vector<engine::StampItem> items;
    for (const std::string& name : names)
        items.push_back({name, kCreated, kWritten});
    const auto script = engine::MakeShellScript();
    const std::string path = ListFolder() + "/script.sh";
    platform::HeldFile file;
    if (file.Write(path, script->Compose(ListFolder(), ListFolder() + "/program/", items).bytes))
        std::abort();

    test::ProgramRun run;
    if (test::RunProgram("/bin/sh", {"-n", path}, "", {}, run) || run.exitStatus != 0)
        std::abort();
    if (test::RunProgram("/bin/sh", {path}, ListFolder(), {}, run) || run.exitStatus != 0)
        std::abort();
    const auto calls = RecordedCalls(run.out);
    if (calls.size() != 2 * names.size())
        std::abort();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::vector<std::string> creation = {"/C", "/D",       "03-07-2006",
                                                   "/T", "14:05:09", names[i]};
        const std::vector<std::string> write = {"/W", "/D",       "03-07-2006",
                                                "/T", "14:52:40", names[i]};
        if (calls[2 * i] != creation || calls[2 * i + 1] != write)
            std::abort();
    }
}

/// The name a batch line hands Stamplet, as the console reads the quoted text back.
std::string ConsoleReading(const std::string& quoted) {
    std::string text;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '%') {
            // A lone % would start a variable.
            if (i + 1 >= quoted.size() || quoted[i + 1] != '%')
                std::abort();
            ++i;
        }
        text += quoted[i];
    }
    return engine::OemToAnsiText(text);
}

void CheckBatch(const std::vector<std::string>& names) {
    const auto script = engine::MakeBatchScript();
    for (const std::string& name : names) {
        if (!script->CarriesUnchanged(name))
            continue;
        const engine::ComposedScript composed =
            script->Compose("C:\\Video", "C:\\Tools\\", {{name, kCreated, kWritten}});
        const std::string& text = composed.bytes;
        const std::string prefix = "\"C:\\Tools\\Stamplet.exe\" /C /D 03-07-2006 /T 14:05:09 \"";
        const std::size_t start = text.find(prefix);
        if (start == std::string::npos)
            std::abort();
        const std::size_t nameStart = start + prefix.size();
        const std::size_t end = text.find("\"\r\n", nameStart);
        if (end == std::string::npos)
            std::abort();
        const std::string quoted = text.substr(nameStart, end - nameStart);
        // A name the console's code page holds is read from the script; any other arrives whole
        // through the environment.
        const bool inScript = composed.environment.empty();
        if (quoted.find('"') != std::string::npos ||
            (inScript && ConsoleReading(quoted) != engine::AnsiFromUtf8(name)) ||
            (!inScript &&
             (quoted != "%KRONALO_NAME_1%" ||
              composed.environment != engine::ScriptEnvironment{{"KRONALO_NAME_1", name}})))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < size && names.size() <= 6; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\0')
            names.emplace_back();
        else if (c != '/' && c != '\2' && c != '\3')
            names.back() += c;
    }
    std::erase_if(names, [](const std::string& name) { return name.empty() || name.size() > 200; });
    if (names.size() > 6)
        names.resize(6);
    CheckBatch(names);
    CheckShell(names);
    return 0;
}
