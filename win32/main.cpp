// Kronalo for Windows: gives converted or copied files the date and time stamps of their
// originals.

#include "win32/TForm1.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // The shell's folders and their context menus need OLE on this thread.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The C runtime's split of the command line: quotes removed, no wildcards expanded.
    std::vector<std::string> arguments(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    int status = 0;
    {
        win32::TForm1 form(instance, std::move(arguments));
        form.Show(show);
        MSG message;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (!form.PreTranslate(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
        }
        status = static_cast<int>(message.wParam);
    }
    ::OleUninitialize();
    return status;
}
