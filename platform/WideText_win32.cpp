#include "platform/Win32_win32.h"

// Conversions between this program's UTF-8 and the system's UTF-16, written out so that every
// name NTFS allows survives both ways: the system's own conversions drop lone surrogates.

namespace platform {
namespace {

/// The count of continuation bytes after a lead byte, and the bits it carries; -1 for a byte
/// that leads nothing.
int Continuations(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 0;
    }
    if ((lead & 0xE0) == 0xC0) {
        bits = lead & 0x1F;
        return 1;
    }
    if ((lead & 0xF0) == 0xE0) {
        bits = lead & 0x0F;
        return 2;
    }
    if ((lead & 0xF8) == 0xF0) {
        bits = lead & 0x07;
        return 3;
    }
    return -1;
}

} // namespace

std::wstring Wide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t point = 0;
        const int more = Continuations(static_cast<unsigned char>(text[i]), point);
        bool whole = more >= 0 && i + static_cast<std::size_t>(more) < text.size();
        for (int k = 1; whole && k <= more; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            whole = (byte & 0xC0) == 0x80;
            point = (point << 6) | (byte & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (!whole || point < kSmallest[more] || point > 0x10FFFF) {
            wide += L'\xFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(more) + 1;
        if (point >= 0x10000) {
            point -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (point >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(point);
        }
    }
    return wide;
}

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t point = static_cast<char16_t>(text[i]);
        const bool high = point >= 0xD800 && point <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            point =
                0x10000 + ((point - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
        if (point < 0x80) {
            narrow += static_cast<char>(point);
        } else if (point < 0x800) {
            narrow += static_cast<char>(0xC0 | (point >> 6));
            narrow += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            narrow += static_cast<char>(0xE0 | (point >> 12));
            narrow += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            narrow += static_cast<char>(0xF0 | (point >> 18));
            narrow += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            narrow += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return narrow;
}

} // namespace platform
