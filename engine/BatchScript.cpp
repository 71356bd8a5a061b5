#include "engine/CodePage.h"
#include "engine/Names.h"
#include "engine/ScriptText.h"
#include "engine/StampScript.h"

#include <algorithm>

namespace engine {
namespace {

/// The console expands % in a batch file even between double quotes; %% stands for one.
std::string EscapePercent(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

class BatchScript final : public StampScript {
public:
    std::string ScriptName(const std::string& listFolder) const override {
        return LastPathComponent(listFolder) + " FileDateAndTime File.bat";
    }

    std::string ScriptPath(const std::string& listFolder) const override {
        // A drive root keeps its own backslash too: C:\\ and the name.
        return listFolder + "\\" + ScriptName(listFolder);
    }

    bool CarriesUnchanged(std::string_view text) const override {
        // Characters no Windows name holds, which inside the script would end the quoted name and
        // start a command of their own. A letter the console's code page lacks goes through the
        // environment.
        return std::none_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 32 || c == '"' || c == '<' || c == '>' ||
                   c == '|';
        });
    }

    bool LeavesOutUselessCreationLines() const override { return false; }
    /// The folders a run holds here cannot be renamed or removed while it runs.
    bool ReachesHeldFolders() const override { return false; }

protected:
    const char* LineEnd() const override { return "\r\n"; }
    const char* FirstLine() const override { return "@echo off"; }
    const char* CommentMarker() const override { return "rem "; }
    const char* CreatedBy() const override { return script_text::kBatchCreatedBy; }
    const char* StampletName() const override { return "Stamplet.exe"; }

    std::vector<std::string> FolderLines(const std::string& listFolder,
                                         ScriptEnvironment& environment) const override {
        // The drive line: cd alone does not change the current drive.
        return {"cd " + Quote(listFolder, environment), listFolder.substr(0, 2)};
    }

    /// A name the console's code page holds is written as it reads it. Any other is handed over
    /// in the environment: cmd reads the script in that code page whatever it is told, but
    /// expands a variable into the wide command line of the program it starts, so every letter
    /// arrives. Expansion comes before quotes are read, and no Windows name holds a quote.
    std::string Quote(std::string_view text, ScriptEnvironment& environment) const override {
        if (ConvertsThroughTable(text))
            return "\"" + EscapePercent(AnsiToOemText(AnsiFromUtf8(text))) + "\"";
        const std::string name = "KRONALO_NAME_" + std::to_string(environment.size() + 1);
        environment.emplace_back(name, std::string(text));
        return "\"%" + name + "%\"";
    }

    /// The marker's name is the system's, expanded once: no name of the user's reaches cmd here.
    std::string StopCheck() const override {
        return "if exist \"%" + std::string(platform::kStopVariable) + "%\" exit 3";
    }

    const char* EchoEmpty() const override { return "echo."; }
    std::string Echo(std::string_view text) const override {
        return AnsiToOemText(AnsiFromUtf8("echo " + std::string(text)));
    }
};

} // namespace

std::unique_ptr<StampScript> MakeBatchScript() {
    return std::make_unique<BatchScript>();
}

} // namespace engine
