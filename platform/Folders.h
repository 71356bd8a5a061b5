#pragma once

#include <string>
#include <system_error>

namespace platform {

/// The process's current directory as the system reports it: a full path without a trailing
/// separator, except at a root (/ or C:\).
[[nodiscard]] std::error_code CurrentFolder(std::string& folder);

/// Makes `path` (relative to the current directory where it is not absolute) the current
/// directory.
[[nodiscard]] std::error_code ChangeFolder(const std::string& path);

/// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

/// `path` made absolute against the current directory and tidied (no "." or "..", no trailing
/// separator except at a root), as CurrentFolder would report that folder.
[[nodiscard]] std::error_code FullPath(const std::string& path, std::string& full);

/// Makes the folder `path` and the folders above it that are missing.
[[nodiscard]] std::error_code CreateFolders(const std::string& path);

/// The current user's own folder for what programs keep from one run to the next ($XDG_STATE_HOME,
/// by default ~/.local/state, on Linux; the local application data folder on Windows).
[[nodiscard]] std::error_code UserStateFolder(std::string& folder);

/// True when the current user may create files in `folder`.
bool CanWriteIn(const std::string& folder);

} // namespace platform
