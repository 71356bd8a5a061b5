#pragma once

#include <string_view>

namespace platform {

/// Writes all of `bytes` to the process's standard output, or to its standard error, at once and
/// as they are, except that on Windows each line break becomes CR LF, as a console program's text
/// there ends its lines. False where the stream is gone.
bool WriteStandardOutput(std::string_view bytes);
bool WriteStandardError(std::string_view bytes);

} // namespace platform
