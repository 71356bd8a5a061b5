#pragma once

// What every window class of Kronalo.exe's own shares: its registration, and the object each of
// its windows was made for.

#include <windows.h>

namespace win32 {

/// Registers the window class `name` once per program, with `procedure`, `cursor` and `icon`, on
/// the dialog colour; later calls find it registered.
inline void RegisterOwnClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                             HCURSOR cursor, HICON icon = nullptr) {
    WNDCLASSW type{};
    if (::GetClassInfoW(instance, name, &type))
        return;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = cursor;
    type.hIcon = icon;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = name;
    ::RegisterClassW(&type);
}

/// The object `window` was made for, as CreateWindowExW's last argument gave it: kept with the
/// window from its first message on, null before that.
template <typename Owner> Owner* OwnerOf(HWND window, UINT message, LPARAM l) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
    return reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace win32
