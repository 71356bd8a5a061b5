#include "win32/Splitter.h"

#include "win32/OwnWindow.h"

#include <windowsx.h>

namespace win32 {
namespace {

constexpr const wchar_t* kClass = L"TSplitter";

} // namespace

TSplitter::TSplitter(HWND parent, HINSTANCE instance, int id) {
    RegisterOwnClass(instance, kClass, Procedure, ::LoadCursor(nullptr, IDC_SIZEWE));
    handle_ = ::CreateWindowExW(0, kClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 8, 0, parent,
                                reinterpret_cast<HMENU>(INT_PTR(id)), instance, this);
}

LRESULT CALLBACK TSplitter::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = OwnerOf<TSplitter>(window, message, l);
    if (!self || message == WM_NCCREATE)
        return ::DefWindowProcW(window, message, w, l);
    self->handle_ = window;
    return self->Handle(message, w, l);
}

LRESULT TSplitter::Handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_LBUTTONDOWN:
        grab_ = GET_X_LPARAM(l);
        ::SetCapture(handle_);
        return 0;
    case WM_MOUSEMOVE:
        if (grab_ >= 0 && Moving) {
            POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
            ::MapWindowPoints(handle_, ::GetParent(handle_), &at, 1);
            Moving(at.x - grab_);
        }
        return 0;
    case WM_LBUTTONUP:
        if (grab_ >= 0) {
            grab_ = -1;
            ::ReleaseCapture();
            if (Moved)
                Moved();
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = ::BeginPaint(handle_, &paint);
        RECT area;
        ::GetClientRect(handle_, &area);
        ::DrawEdge(dc, &area, EDGE_RAISED, BF_RECT);
        ::EndPaint(handle_, &paint);
        return 0;
    }
    default:
        return ::DefWindowProcW(handle_, message, w, l);
    }
}

} // namespace win32
