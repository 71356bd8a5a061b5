#pragma once

#include <string_view>

namespace platform {

/// True when `mask` holds a wildcard character ("*" or "?").
bool HasWildcards(std::string_view mask);

/// Matches a file name against a mask the way Windows users know it: "*" stands for any run of
/// characters, "?" for any one character, letters compare without regard to case, and every other
/// character, "[" included, stands for itself. A mask ending in ".*" also matches a name without
/// an extension, so "*.*" matches every name.
bool WildcardMatch(std::string_view mask, std::string_view name);

} // namespace platform
