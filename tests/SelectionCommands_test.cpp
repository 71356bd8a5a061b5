#include "window/SelectionCommands.h"

#include <gtest/gtest.h>

namespace {

using Flags = std::vector<bool>;

Flags All(std::size_t n) {
    return Flags(n, true);
}
Flags None(std::size_t n) {
    return Flags(n, false);
}
Flags Odd(std::size_t n) {
    Flags flags(n);
    for (std::size_t k = 0; k < n; ++k)
        flags[k] = k % 2 == 1;
    return flags;
}
Flags Even(std::size_t n) {
    Flags flags(n);
    for (std::size_t k = 0; k < n; ++k)
        flags[k] = k % 2 == 0;
    return flags;
}

// Guards "every other one": exactly the even positions, whatever was selected before.
TEST(SelectionCommandsTest, EveryOther) {
    for (std::size_t n = 0; n <= 7; ++n) {
        for (const Flags& before : {All(n), None(n), Odd(n)})
            EXPECT_EQ(window::EveryOther(before), Even(n)) << "n = " << n;
    }
}

// Guards "every other one in addition": even positions added, odd ones kept.
TEST(SelectionCommandsTest, EveryOtherInAddition) {
    const struct {
        const char* what;
        Flags before;
        Flags after;
    } rows[] = {
        {"empty list", {}, {}},
        {"n = 3, item 1 selected", {false, true, false}, {true, true, true}},
        {"n = 4, item 3 selected", {false, false, false, true}, {true, false, true, true}},
        {"n = 5, none selected", None(5), Even(5)},
        {"n = 6, all selected", All(6), All(6)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(window::EveryOtherInAddition(row.before), row.after) << row.what;
    for (std::size_t n = 0; n <= 7; ++n)
        EXPECT_EQ(window::EveryOtherInAddition(Odd(n)), All(n)) << "n = " << n;
}

// Guards "inverse": each flag flipped, twice gives the selection back.
TEST(SelectionCommandsTest, Inverse) {
    const Flags before = {false, true, true, false};
    EXPECT_EQ(window::Inverse(before), (Flags{true, false, false, true}));
    EXPECT_EQ(window::Inverse(window::Inverse(before)), before);
    for (std::size_t n = 0; n <= 7; ++n)
        EXPECT_EQ(window::Inverse(All(n)), None(n)) << "n = " << n;
}

// Guards the Button1 menu position: the initial layout gives window corner + (231, 66).
TEST(SelectionCommandsTest, Button1MenuPosition) {
    const window::MenuPosition at = window::Button1MenuPosition(129, 179, 225, 0, 41);
    EXPECT_EQ(at.x, 129 + 231);
    EXPECT_EQ(at.y, 179 + 66);
}

} // namespace
