#include "engine/CodePage.h"

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

} // namespace engine
