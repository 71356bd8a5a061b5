#pragma once

#include "engine/DateTime.h"
#include "platform/CommandShell.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

/// What the two stamp lines of one selected source need.
struct StampItem {
    std::string targetName;  ///< The target file name, without a folder.
    TDateTime creationTime;  ///< The source's creation time, local.
    TDateTime lastWriteTime; ///< The source's last-write time, local.
};

/// The stamp script in the command language of one system: its name and its lines. The script
/// makes the list folder current, then calls Stamplet twice per target file, first with /C and the
/// source's creation time, then with /W and its last-write time, because every Stamplet call also
/// sets the last-write time.
class StampScript {
public:
    virtual ~StampScript() = default;

    /// The script's full path: the list folder, the folder's last component and the fixed ending.
    virtual std::string ScriptPath(const std::string& listFolder) const = 0;

    /// True when `text` reaches the command interpreter as the same folder or file name, and as
    /// nothing else.
    virtual bool CarriesUnchanged(std::string_view text) const = 0;

    /// The whole script as the bytes to write. `programFolder` ends with a folder separator.
    virtual std::string Compose(const std::string& listFolder, const std::string& programFolder,
                                const std::vector<StampItem>& items) const = 0;
};

/// The script for Windows' console: a batch file in the console's code page with CR LF line ends.
std::unique_ptr<StampScript> MakeBatchScript();

/// The script for /bin/sh: UTF-8 as the names stand, LF line ends, every name in single quotes.
std::unique_ptr<StampScript> MakeShellScript();

/// The script for the given command interpreter.
std::unique_ptr<StampScript> MakeStampScript(platform::CommandShell shell);

} // namespace engine
