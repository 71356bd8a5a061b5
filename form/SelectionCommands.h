#pragma once

#include <vector>

namespace form {

/// How the path box is asked for the keyboard focus.
enum class PathRequest {
    MenuEntry, ///< "Vaihda polkua (Alt+D)" picked from the popup menu.
    F6,        ///< The menu entry's shortcut.
    AltD,      ///< The hidden label's mnemonic.
};

/// True when `request` moves the keyboard focus to the path box: F6 belongs to the file list that
/// owns the menu and acts only while the list has the focus; the others act from anywhere.
bool FocusesPath(PathRequest request, bool listHasFocus);

/// "Every other one": exactly the items at even positions selected.
std::vector<bool> EveryOther(std::vector<bool> selected);

/// "Every other one in addition": the items at even positions selected, the others as they were.
std::vector<bool> EveryOtherInAddition(std::vector<bool> selected);

/// "Inverse": every item's selection flipped.
std::vector<bool> Inverse(std::vector<bool> selected);

/// Where the popup menu opens from Button1, in screen coordinates: the window's outer top-left
/// corner plus the middle pane's offset in the window, 6 to the right and the filter strip's
/// height plus 25 down.
struct MenuPosition {
    int x;
    int y;
};
MenuPosition Button1MenuPosition(int windowLeft, int windowTop, int paneLeft, int paneTop,
                                 int filterStripHeight);

} // namespace form
