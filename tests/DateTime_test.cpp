#include "engine/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using engine::CalendarTime;
using engine::DecodeDateTime;
using engine::EncodeDateTime;

// Guards the calendar arithmetic over the whole range the stamp script can write.
TEST(DateTimeTest, CalendarFieldsRoundTrip) {
    const struct {
        const char* what;
        CalendarTime fields;
        double value; // The day count; NAN where only the round trip is checked.
    } rows[] = {
        {"day zero", {1899, 12, 30, 0, 0, 0, 0}, 0.0},
        {"noon of day one", {1899, 12, 31, 12, 0, 0, 0}, 1.5},
        {"day before day zero, 06:00", {1899, 12, 29, 6, 0, 0, 0}, -1.25},
        {"a known day", {2006, 3, 7, 0, 0, 0, 0}, 38783.0},
        {"leap day", {2004, 2, 29, 23, 59, 59, 999}, NAN},
        {"year one", {1, 1, 1, 0, 0, 0, 0}, -693593.0},
        {"last day written", {9999, 12, 31, 23, 59, 59, 999}, NAN},
        {"milliseconds", {1987, 1, 2, 9, 5, 7, 999}, NAN},
    };
    for (const auto& row : rows) {
        const double value = EncodeDateTime(row.fields);
        if (!std::isnan(row.value)) {
            EXPECT_DOUBLE_EQ(value, row.value) << row.what;
        }
        EXPECT_EQ(DecodeDateTime(value), row.fields) << row.what;
    }
}

// Guards the rounding to the nearest millisecond, which may carry into the next day.
TEST(DateTimeTest, DecodeRoundsToNearestMillisecond) {
    const double almostMidnight = 38783.0 + (86399999.6 / 86400000.0);
    const CalendarTime expected{2006, 3, 8, 0, 0, 0, 0};
    EXPECT_EQ(DecodeDateTime(almostMidnight), expected);

    const double justBelowHalf = 38783.0 + (1000.4 / 86400000.0);
    EXPECT_EQ(DecodeDateTime(justBelowHalf).millisecond, 0);
    EXPECT_EQ(DecodeDateTime(justBelowHalf).second, 1);

    // Before day zero the fraction still counts forward: 23:59:59.9996 on 1899-12-28 is
    // midnight of 1899-12-29.
    const double negative = -2.0 - (86399999.6 / 86400000.0);
    const CalendarTime expectedNegative{1899, 12, 29, 0, 0, 0, 0};
    EXPECT_EQ(DecodeDateTime(negative), expectedNegative);
}

} // namespace
