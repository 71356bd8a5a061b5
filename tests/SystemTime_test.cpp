#include "stamp/SystemTime.h"

#include <gtest/gtest.h>

namespace {

using platform::FileTime;
using stamp::SystemTime;

SystemTime Fields(int y, int mo, int d, int h, int mi, int s, int ms) {
    SystemTime t;
    t.year = static_cast<std::uint16_t>(y);
    t.month = static_cast<std::uint16_t>(mo);
    t.day = static_cast<std::uint16_t>(d);
    t.hour = static_cast<std::uint16_t>(h);
    t.minute = static_cast<std::uint16_t>(mi);
    t.second = static_cast<std::uint16_t>(s);
    t.millisecond = static_cast<std::uint16_t>(ms);
    return t;
}

// Guards the calendar-to-file-time arithmetic and the refusal of fields that form no time.
TEST(SystemTimeTest, CalendarToFileTime) {
    const struct {
        const char* what;
        SystemTime fields;
        bool valid;
        FileTime expected;
    } rows[] = {
        {"file-time epoch", Fields(1601, 1, 1, 0, 0, 0, 0), true, 0},
        {"Unix epoch", Fields(1970, 1, 1, 0, 0, 0, 0), true, platform::kUnixEpochFileTime},
        {"with milliseconds", Fields(1970, 1, 1, 0, 0, 1, 500), true,
         platform::kUnixEpochFileTime + 15000000},
        {"leap day", Fields(2004, 2, 29, 0, 0, 0, 0), true, 127224864000000000ULL},
        {"month 13", Fields(2005, 13, 1, 0, 0, 0, 0), false, 0},
        {"month 0", Fields(2005, 0, 1, 0, 0, 0, 0), false, 0},
        {"day 45", Fields(2005, 1, 45, 0, 0, 0, 0), false, 0},
        {"February 29 of a common year", Fields(2005, 2, 29, 0, 0, 0, 0), false, 0},
        {"hour 24", Fields(2005, 1, 1, 24, 0, 0, 0), false, 0},
        {"minute 60", Fields(2005, 1, 1, 0, 60, 0, 0), false, 0},
        {"second 60", Fields(2005, 1, 1, 0, 0, 60, 0), false, 0},
        {"year 1600", Fields(1600, 12, 31, 23, 59, 59, 0), false, 0},
    };
    for (const auto& row : rows) {
        FileTime time = 0;
        EXPECT_EQ(stamp::SystemTimeToFileTime(row.fields, time), row.valid) << row.what;
        if (row.valid) {
            EXPECT_EQ(time, row.expected) << row.what;
            SystemTime back;
            ASSERT_TRUE(stamp::FileTimeToSystemTime(time, back));
            EXPECT_EQ(back.year, row.fields.year) << row.what;
            EXPECT_EQ(back.day, row.fields.day) << row.what;
            EXPECT_EQ(back.millisecond, row.fields.millisecond) << row.what;
        }
    }
}

// Guards the local-to-UTC step: the offset is subtracted, and the range edges refuse.
TEST(SystemTimeTest, LocalToUtc) {
    FileTime utc = 0;
    ASSERT_TRUE(stamp::LocalFileTimeToFileTime(platform::kUnixEpochFileTime, 7200, utc));
    EXPECT_EQ(utc, platform::kUnixEpochFileTime - 7200ULL * 10000000);
    ASSERT_TRUE(stamp::LocalFileTimeToFileTime(platform::kUnixEpochFileTime, -3600, utc));
    EXPECT_EQ(utc, platform::kUnixEpochFileTime + 3600ULL * 10000000);
    EXPECT_FALSE(stamp::LocalFileTimeToFileTime(0, 3600, utc)) << "before 1601 in UTC";
}

} // namespace
