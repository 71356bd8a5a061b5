// Kronalo's window for the side-by-side measurements, offscreen. `start_bench kronalo SETTINGS`
// builds and shows the window (settings at SETTINGS), `start_bench list` a minimal Qt window with
// a list of 100 names; either ends as soon as its event loop first falls idle. `start_bench run
// FOLDER SETTINGS [PROGRAM_FOLDER]` opens FOLDER, presses the run button, answers OK and ends at
// the final box, with status 0 where that box is the success box; it prints the span from OK to the
// final box as `span_ms=` on its output. PROGRAM_FOLDER is where the script's Stamplet is taken.

#include "engine/Messages.h"
#include "window/TForm1.h"

#include <QPushButton>

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

/// Boxes that answer at once: OK to the script-written box, Yes to a question; the box after the
/// run ends the program.
class Answering final : public form::TBoxes {
public:
    explicit Answering(int& status) : status_(status) {}
    void ShowInformation(const std::string& text) override {
        using Clock = std::chrono::steady_clock;
        if (text == engine::messages::kScriptWritten) {
            ok_ = Clock::now();
            return;
        }
        std::printf("span_ms=%.3f\n",
                    std::chrono::duration<double, std::milli>(Clock::now() - ok_).count());
        status_ = text.starts_with(engine::messages::kDone) ? 0 : 1;
        QApplication::quit();
    }
    void ShowError(const std::string&) override {
        status_ = 1;
        QApplication::quit();
    }
    form::Answer Ask(const std::string&) override { return form::Answer::Yes; }

private:
    int& status_;
    std::chrono::steady_clock::time_point ok_;
};

int Run(const char* folder, const char* settings, const char* programFolder) {
    int status = 1;
    window::TForm1::Setup setup;
    setup.arguments = {std::string(folder) + "/"};
    setup.settingsPath = settings;
    if (programFolder)
        setup.programFolder = programFolder;
    // The runs' records beside the settings, never in the user's own folder.
    setup.recordFolder = std::filesystem::path(settings).parent_path().append("records").string();
    setup.boxes = std::make_unique<Answering>(status);
    window::TForm1 form(std::move(setup));
    form.show();
    QTimer::singleShot(0, form.DoItBtn, &QPushButton::click);
    QApplication::exec();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "run") == 0)
        return Run(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
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
