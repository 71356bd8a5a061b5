// Kronalo: gives converted or copied files the date and time stamps of their originals.

#include "form/FormRules.h"
#include "platform/SessionEnd.h"
#include "window/TForm1.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

/// The window whose runs' scripts go with the process.
window::TForm1* shown = nullptr;

/// Qt ends the process with exit(1) when its display goes away, past the window on main's stack:
/// the scripts of the runs that have not finished are deleted first (a running one reads the copy
/// it holds and runs on to its end by itself), and nothing runs after, as another thread may be
/// ending the process meanwhile. A second caller waits here until the process is gone.
void DeleteScriptsAtExit() {
    static std::mutex once;
    once.lock();
    if (shown && shown->Rules().ProcessEnds() > 0)
        std::_Exit(1);
    once.unlock();
}

} // namespace

int main(int argc, char** argv) {
    // The help and the version need no display: printed before Qt looks for one.
    if (const char* answer =
            form::AnswerWithoutWindow(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fputs(answer, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kronalo"));
    // No display name: the platform would append it to every title, and the system's titles
    // ("Confirm", "Kronalo 1.3") are to stand as they are.
    QApplication::setApplicationDisplayName(QString());
    // QApplication has taken its own options out of argv; the rest are Kronalo's.
    window::TForm1::Setup setup;
    setup.arguments.assign(argv + 1, argv + argc);
    window::TForm1 form(std::move(setup));
    shown = &form;
    std::atexit(DeleteScriptsAtExit);

    // The session's end or the terminal's interrupt: the running script finishes and is deleted,
    // the settings are kept, then the program ends as it was told to.
    std::intptr_t ending = -1;
    const std::error_code unwatched = platform::WatchSessionEnd(ending);
    if (!unwatched && ending >= 0) {
        auto* notifier =
            new QSocketNotifier(static_cast<qintptr>(ending), QSocketNotifier::Read, &application);
        QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
            form.Rules().SessionEnds();
            platform::EndAsAsked();
        });
    }
    form.show();
    const int status = QApplication::exec();
    shown = nullptr;
    return status;
}
