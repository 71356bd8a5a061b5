#pragma once

#include <string>
#include <system_error>

namespace platform {

/// The folder of the running executable, ending with the system's folder separator. Kronalo and
/// Stamplet ship together in this folder.
[[nodiscard]] std::error_code ExecutableFolder(std::string& folder);

} // namespace platform
