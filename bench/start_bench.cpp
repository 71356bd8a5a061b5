// Start to idle, for the side-by-side measurements: `start_bench kronalo SETTINGS` builds and
// shows Kronalo's window (settings at SETTINGS), `start_bench list` a minimal Qt window with a
// list of 100 names; either ends as soon as its event loop first falls idle. Offscreen.

#include "window/TForm1.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include <cstring>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool kronalo = argc == 3 && std::strcmp(argv[1], "kronalo") == 0;
    if (!kronalo && !(argc == 2 && std::strcmp(argv[1], "list") == 0))
        return 2;
    std::unique_ptr<QWidget> shown;
    if (kronalo) {
        window::TForm1::Setup setup;
        setup.settingsPath = argv[2];
        shown = std::make_unique<window::TForm1>(std::move(setup));
    } else {
        auto list = std::make_unique<QListWidget>();
        for (int i = 0; i < 100; ++i)
            list->addItem(QStringLiteral("clip%1.avi").arg(i));
        shown = std::move(list);
    }
    shown->show();
    QTimer::singleShot(0, &application, &QApplication::quit);
    return QApplication::exec();
}
