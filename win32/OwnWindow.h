#pragma once

// What every window class of Kronalo.exe's own shares: its registration, the object each of its
// windows was made for, and the display scale it is drawn at.

#include "form/WindowLayout.h"

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

/// The dots per inch `window` is drawn at: its monitor's on Windows 10 1607 and later, the
/// system's on older Windows, which has no GetDpiForWindow.
inline int DpiOf(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = reinterpret_cast<ForWindow>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow)
        if (const UINT dpi = forWindow(window))
            return static_cast<int>(dpi);
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : form::layout::kBaseDpi;
}

} // namespace win32
