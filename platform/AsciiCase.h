#pragma once

// Letter case as Windows compares file names and switches: ASCII letters only, whatever the
// machine's locale.

#include <algorithm>
#include <string_view>

namespace platform {

/// `c` with an ASCII capital turned into its small letter; every other byte as it is.
constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// True when `a` and `b` are equal but for the case of ASCII letters.
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

} // namespace platform
