#include "form/WindowLayout.h"

#include <array>

#include <gtest/gtest.h>

namespace {

namespace layout = form::layout;

// Guards the measures at the display's scale: each as at 96 dpi, 125 %, 150 % and 200 %, halves
// rounded away from zero as Windows rounds them, and back again.
TEST(WindowLayoutTest, ScaleFollowsTheDisplay) {
    const struct {
        const char* what;
        int pixels;
        int dpi;
        int scaled;
    } rows[] = {
        {"the run button's height at 100 %", 25, 96, 25},
        {"the window's width at 100 %", 651, 96, 651},
        {"the font at 125 %", 11, 120, 14},
        {"up at 125 %: 8.75", 7, 120, 9},
        {"down at 125 %: 6.25", 5, 120, 6},
        {"the run button's height at 150 %: 37.5", 25, 144, 38},
        {"the font at 150 %: 16.5", 11, 144, 17},
        {"the window's width at 150 %: 976.5", 651, 144, 977},
        {"the list's row at 200 %", 16, 192, 32},
        {"nothing stays nothing", 0, 144, 0},
        {"a negative half away from zero", -1, 144, -2},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(layout::Scale(row.pixels, row.dpi), row.scaled) << row.what;
        EXPECT_EQ(layout::Unscale(row.scaled, row.dpi), row.pixels) << row.what;
    }
}

// Guards the fonts' heights at the display's scale: rounded down, never up.
TEST(WindowLayoutTest, FontsRoundDown) {
    const struct {
        const char* what;
        int pixels;
        int dpi;
        int scaled;
    } rows[] = {
        {"the window's font at 100 %", 11, 96, 11},
        {"the window's font at 125 %: 13.75", 11, 120, 13},
        {"the window's font at 150 %: 16.5", 11, 144, 16},
        {"the list's font at 150 %", 12, 144, 18},
        {"the window's font at 200 %", 11, 192, 22},
    };
    for (const auto& row : rows)
        EXPECT_EQ(layout::ScaleFont(row.pixels, row.dpi), row.scaled) << row.what;
}

// Guards a control's place scaled by its edges: neighbours that touch at 100 % still touch, and
// nothing moves at 100 %.
TEST(WindowLayoutTest, ScaledRectKeepsNeighboursTouching) {
    const struct {
        const char* what;
        layout::Rect at96;
        int dpi;
        layout::Rect scaled;
    } rows[] = {
        {"the run button at 100 %", layout::kDoItBtn, 96, layout::kDoItBtn},
        {"the run button at 150 %", layout::kDoItBtn, 144, {9, 12, 209, 38}},
        {"the target field at 125 %", layout::kToNameEdit, 120, {10, 119, 151, 26}},
        {"an odd edge at 150 %: 1.5 to 4.5", {1, 1, 2, 2}, 144, {2, 2, 3, 3}},
        {"the combo box at 200 %", layout::kComboBox, 192, {0, 48, 434, 44}},
    };
    for (const auto& row : rows) {
        const layout::Rect r = layout::Scaled(row.at96, row.dpi);
        EXPECT_EQ((std::array{r.x, r.y, r.width, r.height}),
                  (std::array{row.scaled.x, row.scaled.y, row.scaled.width, row.scaled.height}))
            << row.what;
    }
    // Two boxes one above the other at 100 %: no gap and no overlap at 150 %.
    const layout::Rect upper = layout::Scaled({0, 0, 10, 25}, 144);
    const layout::Rect lower = layout::Scaled({0, 25, 10, 25}, 144);
    EXPECT_EQ(upper.y + upper.height, lower.y);
}

} // namespace
