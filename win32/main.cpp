// Kronalo for Windows: gives converted or copied files the date and time stamps of their
// originals.

#include "form/FormRules.h"
#include "platform/CommandLine.h"
#include "win32/QuestionBox.h"
#include "win32/TForm1.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // Split as the C runtime splits it, from the wide command line: a folder named with any
    // letter arrives as it is.
    std::vector<std::string> arguments = platform::CommandLineArguments(__argc, __argv);
    if (const char* answer = form::AnswerWithoutWindow(arguments)) {
        win32::ShowProgramAnswer(answer);
        return 0;
    }
    // The shell's folders and their context menus need OLE on this thread.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    int status = 0;
    {
        win32::TForm1 form(instance, std::move(arguments));
        form.Show(show);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!form.PreTranslate(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        status = static_cast<int>(message.wParam);
    }
    ::OleUninitialize();
    return status;
}
