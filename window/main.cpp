// Kronalo: gives converted or copied files the date and time stamps of their originals.

#include "window/TForm1.h"

#include <QApplication>

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
    form.show();
    return QApplication::exec();
}
