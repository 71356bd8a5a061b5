#include "platform/SystemCodePage.h"

#include "platform/Win32_win32.h"

namespace platform {
namespace {

std::string FromCodePage(UINT page, std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int wide = ::MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    ::MultiByteToWideChar(page, 0, bytes.data(), size, text.data(), wide);
    return Narrow(text);
}

} // namespace

bool ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
    // A system whose ANSI code page is UTF-8 holds every character.
    if (::GetACP() == CP_UTF8) {
        ansi = utf8;
        return true;
    }
    const std::wstring text = Wide(utf8);
    if (text.empty()) {
        ansi.clear();
        return true;
    }
    const int size = static_cast<int>(text.size());
    // No best fit: "ő" written as "o" would read back as another text.
    BOOL lost = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size,
                                            nullptr, 0, nullptr, &lost);
    if (bytes <= 0 || lost)
        return false;
    std::string converted(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, converted.data(), bytes,
                          nullptr, &lost);
    if (lost)
        return false;
    ansi = std::move(converted);
    return true;
}

std::string FromAnsiCodePage(std::string_view ansi) {
    return FromCodePage(CP_ACP, ansi);
}

std::string FromConsoleCodePage(std::string_view oem) {
    // The script's console is a new one, in the system's OEM code page.
    return FromCodePage(CP_OEMCP, oem);
}

} // namespace platform
