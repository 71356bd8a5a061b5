#include "engine/StampFormat.h"

#include <cstdio>

namespace engine {

std::string FormatStampDate(TDateTime value) {
    const CalendarTime f = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", f.month, f.day, f.year);
    return text;
}

std::string FormatStampTime(TDateTime value) {
    const CalendarTime f = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", f.hour, f.minute, f.second);
    return text;
}

} // namespace engine
