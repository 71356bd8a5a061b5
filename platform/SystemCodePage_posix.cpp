#include "platform/SystemCodePage.h"

namespace platform {

bool ToAnsiCodePage(std::string_view utf8, std::string& ansi) {
    ansi = utf8;
    return true;
}

std::string FromAnsiCodePage(std::string_view ansi) {
    return std::string(ansi);
}

std::string FromConsoleCodePage(std::string_view oem) {
    return std::string(oem);
}

} // namespace platform
