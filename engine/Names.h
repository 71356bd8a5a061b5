#pragma once

#include <string>
#include <string_view>

namespace engine {

/// The text after the last backslash or slash of `path`. Its last character is not looked at
/// unless it is the only one, so "C:\" gives an empty text and "C:\Video\" gives "Video\".
std::string LastPathComponent(std::string_view path);

/// The file name without its extension (the source stem): everything before the last full stop
/// that is not the name's last character. "a.b.c" gives "a.b", ".avi" an empty text.
std::string StripExtension(std::string_view name);

/// The target file name: `pattern` with every asterisk replaced by the stem of `sourceName`.
/// The pattern is used as typed, blanks included; a question mark stays as it is.
std::string MakeTargetName(std::string_view sourceName, std::string_view pattern);

/// `text`, a name or a line holding names, as a box or the console shows it, so that nothing in
/// it can reorder its line or start another: each control character (C0, DEL, C1), line or
/// paragraph separator, bidirectional formatting character and lone surrogate becomes "<U+XXXX>",
/// each byte outside well-formed UTF-8 "<0xXX>". Every other character stays as it is.
std::string ShownText(std::string_view text);

} // namespace engine
