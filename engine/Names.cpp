#include "engine/Names.h"

#include <cstdio>

namespace engine {
namespace {

/// Position (0-based) of the last character of `text` that is one of `wanted`, looking at the
/// last character only when it is the only one; npos without a hit.
std::size_t FindLastBeforeEnd(std::string_view text, std::string_view wanted) {
    if (text.size() == 1)
        return wanted.find(text[0]) != std::string_view::npos ? 0 : std::string_view::npos;
    if (text.size() < 2)
        return std::string_view::npos;
    return text.substr(0, text.size() - 1).find_last_of(wanted);
}

} // namespace

std::string LastPathComponent(std::string_view path) {
    const std::size_t p = FindLastBeforeEnd(path, "\\/");
    if (p == std::string_view::npos)
        return {};
    // A lone separator is its own last component.
    return std::string(path.size() == 1 ? path : path.substr(p + 1));
}

std::string StripExtension(std::string_view name) {
    const std::size_t p = FindLastBeforeEnd(name, ".");
    return std::string(p == std::string_view::npos ? name : name.substr(0, p));
}

std::string MakeTargetName(std::string_view sourceName, std::string_view pattern) {
    const std::string stem = StripExtension(sourceName);
    std::string target;
    for (const char c : pattern) {
        if (c == '*')
            target += stem;
        else
            target += c;
    }
    return target;
}

namespace {

/// The length of the well-formed UTF-8 character that begins `text`, with its code point in
/// `code`; 0 where the first byte begins none. A lone surrogate's three bytes count, as in IsUtf8.
std::size_t CharacterAt(std::string_view text, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() <= more)
        return 0;
    for (std::size_t k = 1; k <= more; ++k) {
        const auto byte = static_cast<unsigned char>(text[k]);
        if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF))
            return 0;
        code = (code << 6) | (byte & 0x3Fu);
    }
    return more + 1;
}

/// True for a character that moves or breaks the text around it, or shows as nothing of its own.
bool Hidden(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || (c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

std::string ShownText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    char escape[16];
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = CharacterAt(text.substr(i), code);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "<0x%02X>", static_cast<unsigned char>(text[i]));
            shown += escape;
            ++i;
            continue;
        }
        if (Hidden(code)) {
            std::snprintf(escape, sizeof escape, "<U+%04X>", static_cast<unsigned>(code));
            shown += escape;
        } else {
            shown.append(text, i, length);
        }
        i += length;
    }
    return shown;
}

} // namespace engine
