#include "stamp/DateTimeSyntax.h"

namespace stamp {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The two digits at `at` as a number; the caller has checked them.
std::uint16_t TwoDigits(std::string_view text, std::size_t at) {
    return static_cast<std::uint16_t>((text[at] - '0') * 10 + (text[at + 1] - '0'));
}

/// True when `text` has a digit at every position marked 'd' in `shape` and one of the allowed
/// characters at every other position.
bool FitsShape(std::string_view text, std::string_view shape, std::string_view separators) {
    if (text.size() < shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool ok =
            shape[i] == 'd' ? IsDigit(text[i]) : separators.find(text[i]) != std::string_view::npos;
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool ParseDate(std::string_view value, SystemTime& time) {
    if (!FitsShape(value, "dd-dd-dddd", "-/"))
        return false;
    time.month = TwoDigits(value, 0);
    time.day = TwoDigits(value, 3);
    time.year = static_cast<std::uint16_t>(TwoDigits(value, 6) * 100 + TwoDigits(value, 8));
    return true;
}

bool ParseTime(std::string_view value, SystemTime& time) {
    if (!FitsShape(value, "dd:dd:dd", ":"))
        return false;
    time.hour = TwoDigits(value, 0);
    time.minute = TwoDigits(value, 3);
    time.second = TwoDigits(value, 6);
    time.millisecond = 0;
    return true;
}

} // namespace stamp
