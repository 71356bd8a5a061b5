#pragma once

// A window over a temporary list folder, with message boxes the test answers.

#include "window/TForm1.h"

#include "engine/Messages.h"
#include "platform/FileTimes.h"
#include "platform/ProgramPath.h"
#include "window/Dialogs.h"
#include "window/FileList.h"
#include "window/FolderPanes.h"
#include "window/StampConsole.h"

#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>

namespace test {

using window::TForm1;

/// Message boxes that record what they were asked, their line breaks as a box shows them, and
/// answer from a queue (Yes when empty). `onBox`, where set, runs while an information box is up,
/// as a user or a neighbour would act meanwhile.
class RecordingDialogs final : public form::TBoxes {
public:
    using Hook = std::function<void(const std::string&)>;
    explicit RecordingDialogs(std::vector<std::string>& log, std::deque<form::Answer> answers = {},
                              const Hook* onBox = nullptr)
        : log_(log), answers_(std::move(answers)), onBox_(onBox) {}

    void ShowInformation(const std::string& text) override {
        log_.push_back("info: " + form::BoxText(text, "\n"));
        if (onBox_ && *onBox_)
            (*onBox_)(form::BoxText(text, "\n"));
    }
    void ShowWithDetails(const std::string& text, const std::string& details) override {
        if (details_)
            details_->push_back(form::BoxText(details, "\n"));
        ShowInformation(text);
    }
    void ShowError(const std::string& text) override {
        log_.push_back("error: " + form::BoxText(text, "\n"));
    }
    /// Where the details every box offered go, in order; nowhere where null.
    void KeepDetails(std::vector<std::string>* details) { details_ = details; }
    form::Answer Ask(const std::string& text) override {
        log_.push_back("ask: " + form::BoxText(text, "\n"));
        if (questions)
            return questions->Ask(text);
        if (answers_.empty())
            return form::Answer::Yes;
        const form::Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    void CloseQuestion() override {
        if (questions)
            questions->CloseQuestion();
    }
    /// Where set, these boxes ask the questions, and the queue is not used.
    form::TBoxes* questions = nullptr;

private:
    std::vector<std::string>& log_;
    std::deque<form::Answer> answers_;
    const Hook* onBox_;
    std::vector<std::string>* details_ = nullptr;
};

inline std::string Box(const std::string& text) {
    return form::BoxText(text, "\n");
}

inline std::vector<std::string> Items(const TForm1& form) {
    return form.FileList->ItemNames();
}

inline std::string Canonical(const std::filesystem::path& path) {
    return std::filesystem::canonical(path).string();
}

/// A temporary list folder with sources, targets, a subfolder and hidden entries, and a window
/// whose boxes the test answers.
class TForm1Test : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"clip01.avi", "clip02.avi", "clip01.wmv", "clip02.wmv"})
            folder.Write(name, "video");
        folder.Write(".hidden.avi");
        std::filesystem::create_directories(folder.path() / "sub" / "inner");
        std::filesystem::create_directory(folder.path() / "dir.avi");
    }

    void TearDown() override {
        form.reset();
        std::filesystem::current_path(previous);
    }

    TForm1& Open(std::vector<std::string> arguments, std::deque<form::Answer> answers = {}) {
        TForm1::Setup setup;
        setup.arguments = std::move(arguments);
        setup.settingsPath = (settings.path() / "Kronalo.dat").string();
        auto boxes = std::make_unique<RecordingDialogs>(log, std::move(answers), &onBox);
        boxes->KeepDetails(&details);
        boxes->questions = questions;
        setup.boxes = std::move(boxes);
        setup.programFolder = programFolder;
        setup.zone = zone;
        setup.recordFolder = records.str();
        form = std::make_unique<TForm1>(std::move(setup));
        form->show();
        QApplication::processEvents();
        return *form;
    }

    TForm1& OpenInFolder(std::deque<form::Answer> answers = {}) {
        return Open({(folder.path() / "clip01.avi").string()}, std::move(answers));
    }

    std::filesystem::path previous = std::filesystem::current_path();
    test::TempFolder folder;
    test::TempFolder settings;
    /// Where the windows keep their runs' records.
    test::TempFolder records;
    std::unique_ptr<TForm1> form;
    std::vector<std::string> log;
    /// The details the boxes offered.
    std::vector<std::string> details;
    RecordingDialogs::Hook onBox;
    /// Where set, the boxes that ask the next window's questions.
    form::TBoxes* questions = nullptr;
    /// Stamplet's folder for the next window; the program's own where empty.
    std::string programFolder;
    /// The zone of the next window's runs; the machine's where null.
    const engine::Zone* zone = nullptr;
};

/// The box after a run whose targets all have their times, on a file system of this machine
/// that keeps no settable creation time.
inline std::string DoneOnThisDisk() {
    return "info: " +
           Box(std::string(engine::messages::kDone) + "\r\r" + engine::messages::kCreationNotKept);
}

/// The real Stamplet, beside the test program.
inline std::string StampletBeside() {
    std::string folder;
    if (platform::ExecutableFolder(folder))
        return "Stamplet";
    return folder + "Stamplet";
}

/// The folder's stamp script.
inline std::filesystem::path ScriptIn(const std::filesystem::path& folder) {
    return folder / (folder.filename().string() + " FileDateAndTime File.sh");
}

} // namespace test
