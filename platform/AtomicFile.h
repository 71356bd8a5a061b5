#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

/// Where writing a whole file failed.
enum class WriteStage {
    Create, ///< The file could not be created.
    Write,  ///< It was created, but writing or putting it in place failed.
};

/// Writes `bytes` as the whole content of the file at `path`, readable and writable by its owner
/// only, creating it or replacing an existing one. The content is written to a new file beside it
/// first and then moved into place, so that the file at `path` is either the old one or the
/// complete new one, and a symbolic link planted at `path` is replaced rather than followed.
/// On failure nothing is left behind and `stage` tells which step failed.
std::error_code ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                      WriteStage& stage);

/// Deletes the file at `path`.
std::error_code RemoveFile(const std::string& path);

} // namespace platform
