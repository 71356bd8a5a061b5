#pragma once

#include <cstddef>
#include <string>
#include <system_error>

namespace platform {

/// Reads at most `most` bytes from the start of the regular file at `path` into `bytes`, whatever
/// the file holds beyond them. Nothing else is read, and nothing blocks: a folder, a device, a
/// pipe or a socket (also behind a link) is refused without a byte read.
[[nodiscard]] std::error_code ReadRegularFile(const std::string& path, std::size_t most,
                                              std::string& bytes);

/// As ReadRegularFile, but only a file of the current user's own that nobody else may write, of
/// `most` bytes at most: one that is larger is refused as file_too_large, one of another user's
/// as operation_not_permitted, one others may write as permission_denied. (On Windows, where
/// files carry access lists rather than owners, only its kind and size are checked.)
[[nodiscard]] std::error_code ReadOwnFile(const std::string& path, std::size_t most,
                                          std::string& bytes);

/// As ReadOwnFile, with the same checks against `most`, but reads no more than its first `first`
/// bytes: enough to learn what a large file is about.
[[nodiscard]] std::error_code ReadOwnFileStart(const std::string& path, std::size_t most,
                                               std::size_t first, std::string& bytes);

/// Removes the regular file at `path` where ReadOwnFile would take it as the current user's own
/// (a link is not followed, and a file of another user's is refused as operation_not_permitted).
[[nodiscard]] std::error_code RemoveOwnFile(const std::string& path);

} // namespace platform
