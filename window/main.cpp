// Kronalo: gives converted or copied files the date and time stamps of their originals.

#include "platform/SessionEnd.h"
#include "window/TForm1.h"

#include <QApplication>
#include <QSocketNotifier>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kronalo"));
    // No display name: the platform would append it to every title, and the system's titles
    // ("Confirm", "Kronalo 1.3") are to stand as they are.
    QApplication::setApplicationDisplayName(QString());
    // QApplication has taken its own options out of argv; the rest are Kronalo's.
    window::TForm1::Setup setup;
    setup.arguments.assign(argv + 1, argv + argc);
    window::TForm1 form(std::move(setup));

    // The session's end or the terminal's interrupt: the running script finishes and is deleted,
    // the settings are kept, then the program ends as it was told to.
    std::intptr_t ending = -1;
    if (!platform::WatchSessionEnd(ending) && ending >= 0) {
        auto* notifier =
            new QSocketNotifier(static_cast<qintptr>(ending), QSocketNotifier::Read, &application);
        QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
            form.SessionEnds();
            platform::EndAsAsked();
        });
    }
    form.show();
    return QApplication::exec();
}
