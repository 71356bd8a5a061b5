#pragma once

#include <array>
#include <string>
#include <string_view>

namespace engine {

/// One accented letter in both single-byte code pages.
struct CodePagePair {
    unsigned char oem;  ///< Its byte in the console's code page 850.
    unsigned char ansi; ///< Its byte in the window's code page 1252.
};

/// The 28 letters that the stamp script can carry from the window's code page to the console's.
/// This fixed list is the whole conversion: the machine's own code pages play no part.
extern const std::array<CodePagePair, 28> kCodePageTable;

/// ANSI text as the console reads it: bytes up to 128 unchanged, the table's letters converted,
/// every other byte dropped.
std::string AnsiToOemText(std::string_view ansi);

/// The reverse of AnsiToOemText, by the same table and the same rule.
std::string OemToAnsiText(std::string_view oem);

/// The program's own UTF-8 texts in the window's code page: each two-byte UTF-8 letter below
/// U+0100 becomes its one byte (code page 1252 is a superset of Latin-1 there); every other byte,
/// the bytes of a file name already in the window's code page among them, stays as it is.
std::string AnsiFromUtf8(std::string_view utf8);

/// True when AnsiToOemText would drop a byte of `ansi`, so that the console would read another
/// name than the one meant.
bool LosesCharactersInOem(std::string_view ansi);

/// True when every character of the UTF-8 text `utf8` is ASCII or one of the table's letters, so
/// that AnsiToOemText(AnsiFromUtf8(utf8)) is what the console reads as that very text.
bool ConvertsThroughTable(std::string_view utf8);

/// True when `text` is well-formed UTF-8 (a lone surrogate's three bytes, which a Windows name
/// may hold, count as well-formed).
bool IsUtf8(std::string_view text);

} // namespace engine
