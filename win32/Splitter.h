#pragma once

#include <windows.h>

#include <functional>

namespace win32 {

/// The divider between the left and the middle pane: 8 pixels wide, bevelled; dragging it
/// moves it live.
class TSplitter {
public:
    TSplitter(HWND parent, HINSTANCE instance, int id);

    HWND Handle() const { return handle_; }

    /// The divider's wanted position while it is dragged, in the parent's client coordinates.
    std::function<void(int)> Moving;
    /// The end of a drag.
    std::function<void()> Moved;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(UINT message, WPARAM w, LPARAM l);

    HWND handle_;
    int grab_ = -1; ///< Where in the divider the drag took hold; -1 when not dragging.
};

} // namespace win32
