#include "engine/StampFormat.h"

#include <gtest/gtest.h>

namespace {

using engine::CalendarTime;
using engine::EncodeDateTime;
using engine::FormatStampDate;
using engine::FormatStampTime;

// Guards the padding of every field and the rounding rules of the script's /D and /T values.
TEST(StampFormatTest, DateAndTimeTexts) {
    const struct {
        const char* what;
        double value;
        const char* date;
        const char* time;
    } rows[] = {
        {"example date", EncodeDateTime({2006, 3, 7, 14, 5, 9, 0}), "03-07-2006", "14:05:09"},
        {"three-digit year", EncodeDateTime({987, 1, 2, 0, 0, 0, 0}), "01-02-0987", "00:00:00"},
        {"two-digit year", EncodeDateTime({45, 11, 25, 1, 2, 3, 0}), "11-25-0045", "01:02:03"},
        {"one-digit year", EncodeDateTime({7, 12, 31, 23, 59, 59, 0}), "12-31-0007", "23:59:59"},
        {"milliseconds dropped", EncodeDateTime({2006, 3, 7, 9, 5, 7, 999}), "03-07-2006",
         "09:05:07"},
        {"rounded into the next day",
         EncodeDateTime({2006, 3, 7, 0, 0, 0, 0}) + 86399999.6 / 86400000.0, "03-08-2006",
         "00:00:00"},
        {"year 9999", EncodeDateTime({9999, 12, 31, 23, 59, 59, 999}), "12-31-9999", "23:59:59"},
        {"a five-digit year in full", EncodeDateTime({9999, 12, 31, 12, 0, 0, 0}) + 1.0,
         "01-01-10000", "12:00:00"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatStampDate(row.value), row.date) << row.what;
        EXPECT_EQ(FormatStampTime(row.value), row.time) << row.what;
    }
}

} // namespace
