#include "form/SelectionCommands.h"

#include <gtest/gtest.h>

namespace {

using Flags = std::vector<bool>;

Flags All(std::size_t n) {
    return Flags(n, true);
}
Flags None(std::size_t n) {
    return Flags(n, false);
}
// Guards "every other one": exactly the even positions, whatever was selected before.
TEST(SelectionCommandsTest, EveryOther) {
    const struct {
        std::size_t n;
        Flags after;
    } rows[] = {
        {0, {}},
        {1, {true}},
        {2, {true, false}},
        {3, {true, false, true}},
        {5, {true, false, true, false, true}},
        {7, {true, false, true, false, true, false, true}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(form::EveryOther(All(row.n)), row.after) << "n = " << row.n;
        EXPECT_EQ(form::EveryOther(None(row.n)), row.after) << "n = " << row.n;
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
        {"n = 5, none selected", None(5), {true, false, true, false, true}},
        {"n = 5, the odd ones selected", {false, true, false, true, false}, All(5)},
        {"n = 6, all selected", All(6), All(6)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(form::EveryOtherInAddition(row.before), row.after) << row.what;
}

// Guards "inverse": each flag flipped, twice gives the selection back.
TEST(SelectionCommandsTest, Inverse) {
    const Flags before = {false, true, true, false};
    EXPECT_EQ(form::Inverse(before), (Flags{true, false, false, true}));
    EXPECT_EQ(form::Inverse(form::Inverse(before)), before);
    for (std::size_t n = 0; n <= 7; ++n)
        EXPECT_EQ(form::Inverse(All(n)), None(n)) << "n = " << n;
}

// Guards the path box's keys: F6 only from the list that owns the menu, the rest from anywhere.
TEST(SelectionCommandsTest, FocusesPath) {
    using form::PathRequest;
    EXPECT_TRUE(form::FocusesPath(PathRequest::F6, true));
    EXPECT_FALSE(form::FocusesPath(PathRequest::F6, false));
    EXPECT_TRUE(form::FocusesPath(PathRequest::AltD, false));
    EXPECT_TRUE(form::FocusesPath(PathRequest::MenuEntry, false));
}

// Guards the Button1 menu position: the initial layout gives window corner + (231, 66).
TEST(SelectionCommandsTest, Button1MenuPosition) {
    const form::MenuPosition at = form::Button1MenuPosition(129, 179, 225, 0, 41);
    EXPECT_EQ(at.x, 360);
    EXPECT_EQ(at.y, 245);
}

} // namespace
