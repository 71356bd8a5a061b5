#pragma once

#include "engine/DateTime.h"
#include "engine/TargetPlaces.h"
#include "platform/CommandShell.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

/// What the stamp lines of one selected source need.
struct StampItem {
    std::string targetName;  ///< The target file name, relative to the list folder.
    TDateTime creationTime;  ///< The source's creation time, local.
    TDateTime lastWriteTime; ///< The source's last-write time, local.
    /// False where the target's file system keeps no creation time that can be set, and the
    /// dialect leaves out the creation line there.
    bool stampCreation = true;
    /// A last-access time to set as well, between the creation line and the last-write line
    /// (a restore's; a time-copy run sets none).
    std::optional<TDateTime> lastAccessTime = std::nullopt;
    /// Where given, the target is stamped only while its last-write time is still this one (a
    /// restore's: the time its run left), checked by Stamplet at the moment it stamps; each later
    /// line of the item expects what the line before it set.
    std::optional<TDateTime> ifLastWrite = std::nullopt;
    /// The source it takes its times from; empty for a restore.
    std::string sourceName = {};
};

/// Settings for the environment of the script's process: name and value.
using ScriptEnvironment = std::vector<std::pair<std::string, std::string>>;

/// A script as written: its bytes, and what its process needs in its environment (the names the
/// batch dialect hands over there).
struct ComposedScript {
    std::string bytes;
    ScriptEnvironment environment;
};

/// The stamp script in the command language of one system: its name and its lines. The script
/// makes the list folder current, then calls Stamplet twice per target file, first with /C and the
/// source's creation time, then with /W and its last-write time, because every Stamplet call also
/// sets the last-write time; a last-access time to set goes between them, with /A. The lines are
/// the same in every dialect; each dialect gives its own line end, comment marker, quoting, folder
/// lines and echo.
class StampScript {
public:
    virtual ~StampScript() = default;

    /// The script's file name: the list folder's last component and the fixed ending.
    virtual std::string ScriptName(const std::string& listFolder) const = 0;

    /// The script's full path: the list folder and the script's name.
    virtual std::string ScriptPath(const std::string& listFolder) const = 0;

    /// True when `text` reaches the command interpreter as the same folder or file name, and as
    /// nothing else: in the script's own bytes, or through its environment.
    virtual bool CarriesUnchanged(std::string_view text) const = 0;

    /// Stamplet's full path in `programFolder`, which ends with a folder separator.
    std::string StampletPath(const std::string& programFolder) const;

    /// The whole script, with what its process needs in its environment. Where `places` are
    /// given and the dialect reaches targets through the folders held (ReachesHeldFolders), each
    /// target lying in a held folder is named through it: the script is then to be started with
    /// `places->Passed()`.
    ComposedScript Compose(const std::string& listFolder, const std::string& programFolder,
                           const std::vector<StampItem>& items,
                           const TargetPlaces* places = nullptr) const;

    /// True when the dialect leaves out a target's creation line where the target's file system
    /// keeps no creation time: that line would only set the last-write time, which the next line
    /// sets again. The batch dialect keeps both lines, as its format says.
    virtual bool LeavesOutUselessCreationLines() const = 0;

    /// True when the script names each target in a held folder through that folder, which its
    /// process is started with; otherwise the folders stay where they are while they are held.
    virtual bool ReachesHeldFolders() const = 0;

    /// The Stamplet calls the script makes for `items`.
    std::size_t StampCalls(const std::vector<StampItem>& items) const;

    /// The Stamplet calls the script makes for each of `items`, in order.
    std::vector<std::size_t> CallsPerTarget(const std::vector<StampItem>& items) const;

protected:
    virtual const char* LineEnd() const = 0;
    virtual const char* FirstLine() const = 0;
    /// The comment marker with its blank.
    virtual const char* CommentMarker() const = 0;
    virtual const char* CreatedBy() const = 0;
    virtual const char* StampletName() const = 0;
    /// The lines that make the list folder current, or make sure it is.
    virtual std::vector<std::string> FolderLines(const std::string& listFolder,
                                                 ScriptEnvironment& environment) const = 0;
    /// A folder or file name as the interpreter must read it; a name the script's bytes cannot
    /// carry goes into `environment`, and the script names it there.
    virtual std::string Quote(std::string_view name, ScriptEnvironment& environment) const = 0;
    /// The file mask of a stamp line for the target `name`, as Stamplet must read it: never as a
    /// switch. By default the name quoted.
    virtual std::string MaskWord(std::string_view name, ScriptEnvironment& environment) const {
        return Quote(name, environment);
    }
    /// The line after each file's stamp lines that ends the script where it was asked to stop: a
    /// stop takes effect between two files, never between the calls of one.
    virtual std::string StopCheck() const = 0;
    /// An empty output line.
    virtual const char* EchoEmpty() const = 0;
    /// A command that prints the UTF-8 text `text`.
    virtual std::string Echo(std::string_view text) const = 0;

private:
    /// The Stamplet calls of one item.
    std::size_t CallsOf(const StampItem& item) const;
    /// The lines that stamp one target whose mask word is `target`, the stop check after them.
    void AddStampLines(std::string& s, const std::string& stamplet, const StampItem& item,
                       const std::string& target) const;
};

/// The script for Windows' console: a batch file in the console's code page with CR LF line ends.
std::unique_ptr<StampScript> MakeBatchScript();

/// The script for /bin/sh: UTF-8 as the names stand, LF line ends, every name in single quotes.
std::unique_ptr<StampScript> MakeShellScript();

/// The script for the given command interpreter.
std::unique_ptr<StampScript> MakeStampScript(platform::CommandShell shell);

} // namespace engine
