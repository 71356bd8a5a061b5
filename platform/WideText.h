#pragma once

// Windows only: the system's wide calls take and give UTF-16.

#include <string>
#include <string_view>

namespace platform {

/// This program's text (UTF-8) as the system's wide calls take it. Any name NTFS allows comes
/// back exactly, a lone surrogate too, which Narrow writes as its three-byte form (WTF-8); a
/// byte that belongs to no sequence becomes U+FFFD.
std::wstring Wide(std::string_view text);

/// A text of the system's wide calls as this program's text (UTF-8, lone surrogates kept).
std::string Narrow(std::wstring_view text);

} // namespace platform
