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

} // namespace platform
