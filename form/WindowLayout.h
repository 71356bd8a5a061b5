#pragma once

// The window's measures in pixels, as both windows lay their controls out: each control's place
// and size inside the pane or strip that holds it.

namespace form::layout {

struct Point {
    int x;
    int y;
};

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

inline constexpr int kMinimumWidth = 420;
inline constexpr int kMinimumHeight = 240;

/// The window's face and the file list's.
inline constexpr const char* kFontFace = "MS Sans Serif";
inline constexpr int kFontPixels = 11;
inline constexpr const char* kListFontFace = "Arial";
inline constexpr int kListFontPixels = 12;
inline constexpr int kListRowHeight = 16;

/// The folder tree's change delay, in milliseconds, set at creation.
inline constexpr int kTreeChangeDelay = 10;
inline constexpr int kTreeIndent = 19;

// The left pane: the path strip above the folder tree.
inline constexpr int kPathStripHeight = 51;
inline constexpr Rect kPath{0, 0, 217, 21};
inline constexpr Rect kComboBox{0, 24, 217, 22};
inline constexpr int kComboBoxEntries = 20;
inline constexpr Point kLabel4{144, 16};

// The divider and the panes' narrowest widths.
inline constexpr int kDividerWidth = 8;
inline constexpr int kNarrowestPane = 30;

// The middle pane: the filter strip above the file list.
inline constexpr int kMiddlePaneWidth = 267;
inline constexpr int kFilterStripHeight = 41;
inline constexpr Point kLabel1{4, 2};
inline constexpr Rect kFilter{0, 17, 205, 21};

// The right pane, with the run button's strip at its bottom.
inline constexpr int kRightPaneWidth = 151;
inline constexpr Rect kSelectAllBox{8, 8, 129, 17};
inline constexpr Point kMakeReturnFileBtn{8, 24};
inline constexpr Rect kSelectAllBtn{8, 37, 137, 25};
inline constexpr Point kLabel2{8, 79};
inline constexpr Rect kToNameEdit{8, 95, 121, 21};
inline constexpr Rect kLabel3{10, 119, 127, 26};
inline constexpr Rect kButton1{8, 152, 75, 25};
inline constexpr Point kFileBuf{8, 184};
inline constexpr int kRunStripHeight = 37;
inline constexpr Rect kDoItBtn{6, 8, 139, 25};

/// The boxes of the strips take their strip's width less this.
inline constexpr int kStripBoxMargin = 2;

/// The display's dots per inch that the measures above are given for: a scale of 100 %.
inline constexpr int kBaseDpi = 96;

/// `pixels` at kBaseDpi as many at `dpi`, rounded to the nearest, halves away from zero (as
/// Windows' MulDiv rounds): 11 at 144 dpi is 17.
constexpr int Scale(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi
                                         : -((-product + half) / kBaseDpi));
}

/// `pixels` at `dpi` as many at kBaseDpi, rounded as Scale rounds: Scale undone.
constexpr int Unscale(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * kBaseDpi;
    const long long half = dpi / 2;
    return dpi <= 0 ? pixels
                    : static_cast<int>(product >= 0 ? (product + half) / dpi
                                                    : -((-product + half) / dpi));
}

/// A font's height in pixels at `dpi`: rounded down, as a caption must never grow wider than its
/// control, which grows by exactly the scale (11 at 144 dpi is 16).
constexpr int ScaleFont(int pixels, int dpi) {
    return static_cast<int>(static_cast<long long>(pixels) * dpi / kBaseDpi);
}

constexpr Point Scaled(Point at, int dpi) {
    return {Scale(at.x, dpi), Scale(at.y, dpi)};
}

/// A place and size at `dpi`: each edge scaled, so that neighbours that touch at kBaseDpi
/// still touch.
constexpr Rect Scaled(Rect r, int dpi) {
    const int x = Scale(r.x, dpi), y = Scale(r.y, dpi);
    return {x, y, Scale(r.x + r.width, dpi) - x, Scale(r.y + r.height, dpi) - y};
}

} // namespace form::layout
