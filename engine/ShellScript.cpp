#include "engine/Names.h"
#include "engine/ScriptText.h"
#include "engine/StampScript.h"

namespace engine {
namespace {

class ShellScript final : public StampScript {
public:
    std::string ScriptName(const std::string& listFolder) const override {
        // Only the root folder ends with its separator, and it has no last component.
        if (!listFolder.empty() && listFolder.back() == '/')
            return " FileDateAndTime File.sh";
        return LastPathComponent(listFolder) + " FileDateAndTime File.sh";
    }

    std::string ScriptPath(const std::string& listFolder) const override {
        // Only the root folder ends with its separator.
        const bool root = !listFolder.empty() && listFolder.back() == '/';
        return listFolder + (root ? "" : "/") + ScriptName(listFolder);
    }

    bool CarriesUnchanged(std::string_view) const override { return true; }
    bool LeavesOutUselessCreationLines() const override { return true; }
    bool ReachesHeldFolders() const override { return true; }

protected:
    const char* LineEnd() const override { return "\n"; }
    const char* FirstLine() const override { return "#!/bin/sh"; }
    const char* CommentMarker() const override { return "# "; }
    const char* CreatedBy() const override { return script_text::kShellCreatedBy; }
    const char* StampletName() const override { return "Stamplet"; }

    std::vector<std::string> FolderLines(const std::string& listFolder,
                                         ScriptEnvironment& environment) const override {
        // The script starts in the folder the run holds. Where the folder's path no longer leads
        // there, the folder was moved or another put in its place: nothing is stamped, rather
        // than the targets looked for in the wrong place.
        // A stop asked for (SIGTERM to the interpreter alone) waits for the Stamplet call in
        // progress, as the shell runs a trap only once its command has ended, and is heeded at
        // the next StopCheck.
        return {"[ . -ef " + Quote(listFolder, environment) + " ] || exit 1",
                "trap 'kronalo_stop=1' TERM"};
    }

    std::string StopCheck() const override { return "[ -z \"$kronalo_stop\" ] || exit 3"; }

    /// Single quotes keep every character as it is, except a single quote, which closes the
    /// quoted text, is written escaped and opens it again.
    std::string Quote(std::string_view text, ScriptEnvironment&) const override {
        std::string quoted = "'";
        for (const char c : text) {
            if (c == '\'')
                quoted += "'\\''";
            else
                quoted += c;
        }
        return quoted + "'";
    }

    /// A name from the root begins with "/", as a switch does: "--" before it ends the switches.
    /// Names inside the list folder are written as they always were.
    std::string MaskWord(std::string_view name, ScriptEnvironment& environment) const override {
        return (name.starts_with('/') ? "-- " : "") + Quote(name, environment);
    }

    const char* EchoEmpty() const override { return "echo"; }
    std::string Echo(std::string_view text) const override {
        ScriptEnvironment none;
        return "echo " + Quote(text, none);
    }
};

} // namespace

std::unique_ptr<StampScript> MakeShellScript() {
    return std::make_unique<ShellScript>();
}

} // namespace engine
