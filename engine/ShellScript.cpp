#include "engine/Names.h"
#include "engine/ScriptText.h"
#include "engine/StampFormat.h"
#include "engine/StampScript.h"

namespace engine {
namespace {

/// Single quotes keep every character as it is, except a single quote, which closes the quoted
/// text, is written escaped and opens it again.
std::string Quote(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

class ShellScript final : public StampScript {
public:
    std::string ScriptPath(const std::string& listFolder) const override {
        // Only the root folder ends with its separator, and it has no last component.
        if (!listFolder.empty() && listFolder.back() == '/')
            return listFolder + " FileDateAndTime File.sh";
        return listFolder + "/" + LastPathComponent(listFolder) + " FileDateAndTime File.sh";
    }

    bool CarriesUnchanged(std::string_view) const override { return true; }

    std::string Compose(const std::string& listFolder, const std::string& programFolder,
                        const std::vector<StampItem>& items) const override {
        std::string s;
        auto line = [&s](std::string_view text) {
            s += text;
            s += '\n';
        };
        line("#!/bin/sh");
        line("");
        line(std::string("# ") + script_text::kShellCreatedBy);
        line(std::string("# ") + script_text::kCopyright);
        line(std::string("# ") + script_text::kContact);
        // Without the list folder the targets would be looked for in the wrong place.
        line("cd " + Quote(listFolder) + " || exit 1");
        line("");
        const std::string stamplet = Quote(programFolder + "Stamplet");
        for (const StampItem& item : items) {
            const std::string target = " " + Quote(item.targetName);
            line(stamplet + " /C /D " + FormatStampDate(item.creationTime) + " /T " +
                 FormatStampTime(item.creationTime) + target);
            line(stamplet + " /W /D " + FormatStampDate(item.lastWriteTime) + " /T " +
                 FormatStampTime(item.lastWriteTime) + target);
            line("");
        }
        line("echo");
        line("echo " + Quote(script_text::kDone));
        line("echo");
        return s;
    }
};

} // namespace

std::unique_ptr<StampScript> MakeShellScript() {
    return std::make_unique<ShellScript>();
}

} // namespace engine
