#include "engine/CodePage.h"
#include "engine/Names.h"
#include "engine/ScriptText.h"
#include "engine/StampFormat.h"
#include "engine/StampScript.h"

#include <algorithm>

namespace engine {
namespace {

/// The window's code page is a superset of Latin-1, so each two-byte UTF-8 letter below U+0100
/// of the fixed texts maps to one byte.
std::string AnsiFromUtf8(std::string_view utf8) {
    std::string ansi;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[++i]);
            ansi += static_cast<char>(byte == 0xC3 ? next + 0x40 : next);
        } else {
            ansi += utf8[i];
        }
    }
    return ansi;
}

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

/// A folder or name as the console must read it between double quotes.
std::string ConsoleText(std::string_view ansi) {
    return EscapePercent(AnsiToOemText(ansi));
}

class BatchScript final : public StampScript {
public:
    std::string ScriptPath(const std::string& listFolder) const override {
        return listFolder + "\\" + LastPathComponent(listFolder) + " FileDateAndTime File.bat";
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

    std::string Compose(const std::string& listFolder, const std::string& programFolder,
                        const std::vector<StampItem>& items) const override {
        std::string s;
        auto line = [&s](std::string_view text) {
            s += text;
            s += "\r\n";
        };
        line("@echo off");
        line("");
        line(std::string("rem ") + script_text::kBatchCreatedBy);
        line(std::string("rem ") + script_text::kCopyright);
        line(std::string("rem ") + script_text::kContact);
        line("cd \"" + ConsoleText(listFolder) + "\"");
        line(listFolder.substr(0, 2));
        line("");
        const std::string stamplet = "\"" + ConsoleText(programFolder) + "Stamplet.exe\"";
        for (const StampItem& item : items) {
            const std::string target = " \"" + ConsoleText(item.targetName) + "\"";
            line(stamplet + " /C /D " + FormatStampDate(item.creationTime) + " /T " +
                 FormatStampTime(item.creationTime) + target);
            line(stamplet + " /W /D " + FormatStampDate(item.lastWriteTime) + " /T " +
                 FormatStampTime(item.lastWriteTime) + target);
            line("");
        }
        line("echo.");
        line(AnsiToOemText(AnsiFromUtf8(std::string("echo ") + script_text::kDone)));
        line("echo.");
        return s;
    }
};

} // namespace

std::unique_ptr<StampScript> MakeBatchScript() {
    return std::make_unique<BatchScript>();
}

} // namespace engine
