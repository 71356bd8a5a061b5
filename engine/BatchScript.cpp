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
        // Besides the letters the console's code page lacks: characters no Windows name holds,
        // which inside the script would end the quoted name and start a command of their own.
        const bool breaksQuoting = std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) < 32 || c == '"' || c == '<' || c == '>' ||
                   c == '|';
        });
        return !breaksQuoting && !LosesCharactersInOem(text);
    }

    bool LeavesOutUselessCreationLines() const override { return false; }

protected:
    const char* LineEnd() const override { return "\r\n"; }
    const char* FirstLine() const override { return "@echo off"; }
    const char* CommentMarker() const override { return "rem "; }
    const char* CreatedBy() const override { return script_text::kBatchCreatedBy; }
    const char* StampletName() const override { return "Stamplet.exe"; }

    std::vector<std::string> FolderLines(const std::string& listFolder) const override {
        // The drive line: cd alone does not change the current drive.
        return {"cd " + Quote(listFolder), listFolder.substr(0, 2)};
    }

    std::string Quote(std::string_view text) const override {
        return "\"" + EscapePercent(AnsiToOemText(text)) + "\"";
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
