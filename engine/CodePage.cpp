#include "engine/CodePage.h"

#include <algorithm>

namespace engine {

const std::array<CodePagePair, 28> kCodePageTable = {{
    {129, 252}, {130, 233}, {131, 226}, {132, 228}, {137, 235}, {140, 238}, {142, 196},
    {144, 201}, {147, 244}, {148, 246}, {153, 214}, {154, 220}, {160, 225}, {161, 237},
    {162, 243}, {163, 250}, {181, 193}, {182, 194}, {211, 203}, {214, 205}, {215, 206},
    {224, 211}, {226, 212}, {233, 218}, {236, 253}, {237, 221}, {143, 197}, {134, 229},
}};

namespace {

template <unsigned char CodePagePair::*From, unsigned char CodePagePair::*To>
std::string Convert(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 128) {
            result += c;
            continue;
        }
        for (const CodePagePair& pair : kCodePageTable) {
            if (pair.*From == byte) {
                result += static_cast<char>(pair.*To);
                break;
            }
        }
    }
    return result;
}

} // namespace

std::string AnsiToOemText(std::string_view ansi) {
    return Convert<&CodePagePair::ansi, &CodePagePair::oem>(ansi);
}

std::string OemToAnsiText(std::string_view oem) {
    return Convert<&CodePagePair::oem, &CodePagePair::ansi>(oem);
}

std::string AnsiFromUtf8(std::string_view utf8) {
    std::string ansi;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if ((byte == 0xC2 || byte == 0xC3) && next >= 0x80 && next <= 0xBF) {
            ansi += static_cast<char>(byte == 0xC3 ? next + 0x40 : next);
            ++i;
        } else {
            ansi += utf8[i];
        }
    }
    return ansi;
}

bool LosesCharactersInOem(std::string_view ansi) {
    return AnsiToOemText(ansi).size() != ansi.size();
}

bool ConvertsThroughTable(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80)
            continue;
        // Every letter of the table is below U+0100: two bytes, C3 and its second.
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (byte != 0xC3 || next < 0x80 || next > 0xBF)
            return false;
        const auto ansi = static_cast<unsigned char>(next + 0x40);
        if (std::none_of(kCodePageTable.begin(), kCodePageTable.end(),
                         [ansi](const CodePagePair& pair) { return pair.ansi == ansi; }))
            return false;
        ++i;
    }
    return true;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // The second byte's range follows from the lead: no overlong form, nothing past U+10FFFF.
        int more = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead < 0x80) {
            more = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i <= static_cast<std::size_t>(more))
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF))
                return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

} // namespace engine
