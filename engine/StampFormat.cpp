#include "engine/StampFormat.h"

#include <cstdio>

namespace engine {

namespace {

/// Writes `value` as exactly `digits` decimal digits at `out`, or returns false where it does not
/// fit so.
bool PutDigits(char* out, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
    return value == 0;
}

/// "AA-BB-CCCC" or "AA:BB:CC": written by hand, since parsing a format per field cost more than
/// the rest of a script line; anything outside the fixed widths goes through snprintf as before.
std::string ThreeFields(int a, int b, int c, int lastDigits, char separator) {
    char text[10];
    if (a >= 0 && b >= 0 && c >= 0 && PutDigits(text, a, 2) && PutDigits(text + 3, b, 2) &&
        PutDigits(text + 6, c, lastDigits)) {
        text[2] = text[5] = separator;
        return std::string(text, 6 + static_cast<std::size_t>(lastDigits));
    }
    char wide[40];
    const char* format = separator == '-' ? "%02d-%02d-%04d" : "%02d:%02d:%02d";
    std::snprintf(wide, sizeof wide, format, a, b, c);
    return wide;
}

} // namespace

std::string FormatStampDate(TDateTime value) {
    const CalendarTime f = DecodeDateTime(value);
    return ThreeFields(f.month, f.day, f.year, 4, '-');
}

std::string FormatStampTime(TDateTime value) {
    const CalendarTime f = DecodeDateTime(value);
    return ThreeFields(f.hour, f.minute, f.second, 2, ':');
}

} // namespace engine
