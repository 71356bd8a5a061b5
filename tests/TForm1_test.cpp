#include "FormFixture.h"

#include "engine/Messages.h"
#include "form/FormText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>

namespace {

using namespace test;

// Guards the start-up order: the desktop first, the built-in mask, the process's directory.
TEST_F(TForm1Test, StartWithoutArgument) {
    TForm1& window = Open({});
    const std::string desktop = Canonical(window::DesktopFolder().toStdString());
    EXPECT_EQ(window.windowTitle().toStdString(), "Kronalo 1.3");
    EXPECT_EQ(window.FileList->Folder(), desktop);
    EXPECT_EQ(Canonical(std::filesystem::current_path()), desktop);
    EXPECT_EQ(window.FileList->Mask(), "*.avi");
    EXPECT_EQ(Canonical(window.TreeView->SelectedPath().toStdString()), desktop);
    EXPECT_EQ(window.Filter->currentText().toStdString(), "*.avi");
    EXPECT_EQ(window.ToNameEdit->text().toStdString(), "*.wmv");
    EXPECT_TRUE(log.empty());
}

// Guards the command-line argument through the window: a folder, or a file's folder, opens in
// the list, the path box and the current directory; anything else leaves the desktop. A quote
// that ends a name is the name's own here, unlike on Windows. (The argument's rules are
// FormRulesTest's.)
TEST_F(TForm1Test, StartWithArgument) {
    const std::string tmp = Canonical(folder.path());
    const std::string desktop = Canonical(window::DesktopFolder().toStdString());
    std::filesystem::create_directory(folder.path() / "q\"");
    const struct {
        const char* what;
        std::string argument;
        std::string listFolder;
        std::string pathText;
    } rows[] = {
        {"a file path", tmp + "/clip01.avi", tmp, tmp + "/"},
        {"a folder", tmp, tmp, tmp + "/"},
        {"a folder with its separator", tmp + "/", tmp, tmp + "/"},
        {"a folder whose name ends with a quote", tmp + "/q\"", tmp + "/q\"", tmp + "/q\"/"},
        {"a missing folder", tmp + "/gone/clip01.avi", desktop, desktop},
    };
    for (const auto& row : rows) {
        TForm1& window = Open({row.argument});
        EXPECT_EQ(window.FileList->Folder(), row.listFolder) << row.what;
        EXPECT_EQ(window.Path->text().toStdString(), row.pathText) << row.what;
        EXPECT_EQ(Canonical(std::filesystem::current_path()), row.listFolder) << row.what;
    }
    TForm1& window = Open({tmp + "/clip01.avi"});
    EXPECT_EQ(Items(window), (std::vector<std::string>{"clip01.avi", "clip02.avi"}));
    EXPECT_EQ(window.FileList->SelectedFlags(), (std::vector<bool>{true, true}))
        << "the select-all option selects the opened folder's files";
}

// Guards the path box: the list follows each keystroke that completes an existing folder; the
// tree does not move and no error appears.
TEST_F(TForm1Test, TypingInThePathBox) {
    TForm1& window = OpenInFolder();
    const std::string tmp = Canonical(folder.path());
    const QString treeBefore = window.TreeView->SelectedPath();

    window.Path->clear();
    QTest::keyClicks(window.Path, QString::fromStdString(tmp + "/su"));
    EXPECT_EQ(window.FileList->Folder(), tmp);
    QTest::keyClicks(window.Path, "b");
    EXPECT_EQ(window.FileList->Folder(), tmp + "/sub");
    QTest::keyClicks(window.Path, "/");
    EXPECT_EQ(window.FileList->Folder(), tmp + "/sub");
    EXPECT_EQ(window.Path->text().toStdString(), tmp + "/sub/") << "the text stays as typed";
    EXPECT_EQ(window.TreeView->SelectedPath(), treeBefore);

    // A relative name is taken against the list folder.
    window.Path->setText("inner");
    EXPECT_EQ(window.FileList->Folder(), tmp + "/sub/inner");
    EXPECT_TRUE(log.empty()) << log.front();
}

// Guards the filter box through the window: an edit shows the list through it, a case-only change
// reads the folder again, and a move to the folder already shown does not. (The masks' rules are
// FileListingTest's.)
TEST_F(TForm1Test, FilterChanges) {
    TForm1& window = OpenInFolder();
    window.Filter->setEditText("*.avi;*.wmv");
    EXPECT_EQ(Items(window),
              (std::vector<std::string>{"clip01.avi", "clip01.wmv", "clip02.avi", "clip02.wmv"}));

    window.Filter->setEditText("*.avi");
    folder.Write("clip03.avi");
    window.FileList->MoveTo(window.FileList->Folder());
    EXPECT_EQ(Items(window).size(), 2u) << "the folder already shown is not read again";
    window.Filter->setEditText("*.AVI");
    EXPECT_EQ(Items(window).size(), 3u) << "a case-only change reads the folder again";
}

// Guards the automatic-selection option after refills.
TEST_F(TForm1Test, SelectAllOption) {
    TForm1& window = OpenInFolder();
    window.Filter->setEditText("*.wmv");
    EXPECT_EQ(window.FileList->SelectedFlags(), (std::vector<bool>{true, true}));
    window.SelectAllBox->setChecked(false);
    window.Filter->setEditText("*.avi");
    EXPECT_EQ(window.FileList->SelectedFlags(), (std::vector<bool>{false, false}));
}

// Guards the run's message flow through the window: the boxes in order, answered by the test.
TEST_F(TForm1Test, RunMessages) {
    TForm1& window = OpenInFolder({form::Answer::No});
    window.ToNameEdit->setText("  ");
    QTest::mouseClick(window.DoItBtn, Qt::LeftButton);
    window.ToNameEdit->setText("*.wmv");
    window.FileList->clearSelection();
    window.DoItBtn->click();
    window.Filter->setEditText("*.mpg");
    window.DoItBtn->click();
    EXPECT_EQ(log,
              (std::vector<std::string>{"info: " + Box(engine::messages::kBlankPattern),
                                        "ask: " + Box(engine::messages::kNothingSelected),
                                        "info: " + Box(engine::messages::EmptyList("*.mpg"))}));
}

// Guards the whole road from the run button: the script runs in the console, the real Stamplet
// stamps, every target gets its source's last-write time, kDone follows and the script is gone.
TEST_F(TForm1Test, RunButtonCopiesTimes) {
    test::SetLastWrite(folder.path() / "clip01.avi", 1105790407); // 2005-01-15 12:00:07 UTC
    test::SetLastWrite(folder.path() / "clip02.avi", 1121428807); // 2005-07-15 12:00:07 UTC
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    window.ScriptConsole().WaitForEnd();
    QApplication::processEvents();

    for (const char* name : {"clip01", "clip02"}) {
        EXPECT_EQ(std::filesystem::last_write_time(folder.path() / (std::string(name) + ".wmv")),
                  std::filesystem::last_write_time(folder.path() / (std::string(name) + ".avi")))
            << name;
    }
    EXPECT_EQ(log, (std::vector<std::string>{"info: " + Box(engine::messages::kScriptWritten),
                                             DoneOnThisDisk()}))
        << window.StampConsole()->Output().toStdString();
    EXPECT_NE(window.StampConsole()->Output().indexOf("File clip02.wmv date/time changed"), -1);
    EXPECT_FALSE(std::filesystem::exists(
        folder.path() / (folder.path().filename().string() + " FileDateAndTime File.sh")));
}

// Guards the console's output: a name in Stamplet's reports cannot reorder its line or break it,
// each line shows it escaped as the pairs' details do, and the tally still counts every report.
TEST_F(TForm1Test, ConsoleShowsNamesEscaped) {
    const struct {
        const char* what;
        std::string stem;
        std::string shown;
    } rows[] = {
        {"right-to-left override", "a\u202Eiva", "a<U+202E>iva"},
        {"isolate and mark", "b\u2067\u200Fc", "b<U+2067><U+200F>c"},
        {"tab and escape", "d\t\x1B[2Je", "d<U+0009><U+001B>[2Je"},
        {"carriage return", "f\rFile x.wmv", "f<U+000D>File x.wmv"},
        {"byte outside UTF-8", "g\xFFh", "g<0xFF>h"},
    };
    // Whole seconds: no note on fractions follows the verdict.
    for (const auto& row : rows) {
        SetLastWrite(folder.Write(row.stem + ".avi", "video"), 1105790407);
        folder.Write(row.stem + ".wmv", "video");
    }
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    window.ScriptConsole().WaitForEnd();
    QApplication::processEvents();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), DoneOnThisDisk());
    const std::string output = window.StampConsole()->Output().toStdString();
    for (const auto& row : rows)
        EXPECT_NE(output.find("\nFile " + row.shown + ".wmv date/time changed"), std::string::npos)
            << row.what << "\n"
            << output;
    for (const char* raw : {"\u202E", "\u2067", "\u200F", "\t", "\x1B", "\r"})
        EXPECT_EQ(output.find(raw), std::string::npos) << "shown raw: " << output;
    const auto* progress = window.StampConsole()->findChild<QProgressBar*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), progress->maximum()) << "every report counted";
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.StampConsole()->isActiveWindow(); }))
        << "the console comes up in front of the window";
    const auto* shown = window.StampConsole()->findChild<QPlainTextEdit*>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->horizontalScrollBar()->maximum(), 0) << "every line whole in its width";
    const auto* summary = window.StampConsole()->findChild<QLabel*>();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->text().startsWith("Valmis. Ajat asetettu tiedostoihin: 7."))
        << summary->text().toStdString();
}

// Guards the question asked when the console is closed during a run: a real box, closed by
// the run's end once the run it asks about is over; the run is not stopped, its verdict follows
// and the console stays with its summary.
TEST_F(TForm1Test, StopQuestionClosesAtTheRunsEnd) {
    // Stamplet's stand-in waits until the test lets it go.
    const test::TempFolder programs;
    const std::filesystem::path called = programs.path() / "called", go = programs.path() / "go";
    std::ofstream(programs.path() / "Stamplet")
        << "#!/bin/sh\necho >> '" << called.string() << "'\nwhile [ ! -e '" << go.string()
        << "' ]; do sleep 0.01; done\nexec '" << test::StampletBeside() << "' \"$@\"\n";
    std::filesystem::permissions(programs.path() / "Stamplet", std::filesystem::perms::owner_all);
    programFolder = programs.str() + "/";
    for (const char* name : {"clip01.avi", "clip02.avi"})
        SetLastWrite(folder.path() / name, 1105790407);
    window::MessageBoxDialogs boxes(nullptr);
    questions = &boxes;
    TForm1& window = OpenInFolder();
    window.DoItBtn->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(called); }, 20000));

    QString asked;
    bool closedByTheEnd = false;
    QTimer::singleShot(0, [&] {
        QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked = box->text();
        std::ofstream(go).close();
        closedByTheEnd = QTest::qWaitFor([&] { return !box || !box->isVisible(); }, 20000);
        // Left open, it would hold the test.
        if (box && box->isVisible())
            box->close();
    });
    window.StampConsole()->close();
    EXPECT_EQ(asked.toStdString(), Box(form::text::kStopOrWait));
    EXPECT_TRUE(closedByTheEnd) << "the question outlived its run";
    EXPECT_FALSE(window.ScriptConsole().IsRunning());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), DoneOnThisDisk()) << "the run went on to its end";
    EXPECT_TRUE(window.StampConsole()->isVisible());
}

// Guards the keyboard: Alt+D reaches the path box, Enter runs the default button.
TEST_F(TForm1Test, Keyboard) {
    TForm1& window = OpenInFolder();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.FileList->setFocus();
    QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(window.Path->hasFocus());

    window.ToNameEdit->setText("");
    window.ToNameEdit->setFocus();
    QTest::keyClick(window.ToNameEdit, Qt::Key_Return);
    EXPECT_EQ(log, std::vector<std::string>{"info: " + Box(engine::messages::kBlankPattern)});
}

// Guards the widths: the boxes follow their strips when the window grows; the left pane keeps
// its width.
TEST_F(TForm1Test, WidthsFollowTheWindow) {
    TForm1& window = OpenInFolder();
    const int leftWidth = window.Panel1->width();
    window.resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(window.Panel1->width(), leftWidth);
    EXPECT_EQ(window.Filter->width(), window.Panel6->width() - 2);
    EXPECT_EQ(window.Path->width(), window.Panel2->width() - 2);
    EXPECT_EQ(window.ComboBox->width(), window.Panel2->width() - 2);
    EXPECT_GT(window.Filter->width(), 205);
}

} // namespace

namespace {

std::vector<std::string> MenuEntries(const TForm1& window) {
    std::vector<std::string> entries;
    for (const QAction* action : window.PopupMenu1->actions())
        entries.push_back(action->objectName().toStdString() + "|" +
                          (action->isSeparator() ? "-" : action->text().toStdString()) + "|" +
                          action->shortcut().toString().toStdString());
    return entries;
}

// Guards the popup menu's entries, their order, separators and the F6 shortcut.
TEST_F(TForm1Test, PopupMenuEntries) {
    TForm1& window = OpenInFolder();
    EXPECT_EQ(MenuEntries(window),
              (std::vector<std::string>{
                  "Valitsekaikki1|Valitse kaikki|",
                  "Valitsejokatoinen1|Valitse joka toinen|",
                  "Knteinenvalinta1|Käänteinen valinta|",
                  "N1|-|",
                  "Valitsejokatoinenjovalitut1|Valitse joka toinen + jo valitut|",
                  "N2|-|",
                  "VaihdapolkuaAltD1|Vaihda polkua (Alt+D)|F6",
                  "N3|-|",
                  "Palautaaiemmatajat1|Palauta aiemmat ajat...|",
              }));
}

// Guards the selection commands through the window: each sets the list's flags and moves the
// focus to the list; the button keeps the focus; the option selects only when checked.
TEST_F(TForm1Test, SelectionCommands) {
    for (const char* name : {"clip03.avi", "clip04.avi", "clip05.avi"})
        folder.Write(name);
    TForm1& window = OpenInFolder();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto trigger = [&window](const char* name) {
        window.PopupMenu1->findChild<QAction*>(name)->trigger();
    };
    ASSERT_EQ(window.FileList->count(), 5);

    window.SelectAllBtn->setFocus();
    trigger("Valitsejokatoinen1");
    EXPECT_EQ(window.FileList->SelectedFlags(),
              (std::vector<bool>{true, false, true, false, true}));
    EXPECT_TRUE(window.FileList->hasFocus());
    trigger("Knteinenvalinta1");
    EXPECT_EQ(window.FileList->SelectedFlags(),
              (std::vector<bool>{false, true, false, true, false}));
    window.FileList->SetSelectedFlags({false, false, false, true, false});
    trigger("Valitsejokatoinenjovalitut1");
    EXPECT_EQ(window.FileList->SelectedFlags(), (std::vector<bool>{true, false, true, true, true}));

    window.FileList->clearSelection();
    QTest::mouseClick(window.SelectAllBtn, Qt::LeftButton);
    EXPECT_EQ(window.FileList->SelectedFlags(), std::vector<bool>(5, true));
    EXPECT_TRUE(window.SelectAllBtn->hasFocus());

    QTest::mouseClick(window.SelectAllBox, Qt::LeftButton);
    EXPECT_FALSE(window.SelectAllBox->isChecked());
    EXPECT_EQ(window.FileList->SelectedFlags(), std::vector<bool>(5, true))
        << "unchecking changes no selection";
    window.FileList->clearSelection();
    QTest::mouseClick(window.SelectAllBox, Qt::LeftButton);
    EXPECT_EQ(window.FileList->SelectedFlags(), std::vector<bool>(5, true));

    trigger("Valitsekaikki1");
    EXPECT_TRUE(window.FileList->hasFocus());
    trigger("VaihdapolkuaAltD1");
    EXPECT_TRUE(window.Path->hasFocus());
}

// Guards F6 against Alt+D: F6 acts only from the list, Alt+D from anywhere.
TEST_F(TForm1Test, F6OnlyFromTheList) {
    TForm1& window = OpenInFolder();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    window.Filter->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_FALSE(window.Path->hasFocus()) << "F6 in the filter box does nothing";
    window.FileList->setFocus();
    QTest::keyClick(window.FileList, Qt::Key_F6);
    EXPECT_TRUE(window.Path->hasFocus());

    window.ToNameEdit->setFocus();
    QTest::keyClick(window.ToNameEdit, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(window.Path->hasFocus());
}

// Guards where Button1 opens the menu: the window's corner plus the middle pane's offset, 6
// across and the filter strip plus 25 down.
TEST_F(TForm1Test, Button1OpensTheMenu) {
    TForm1& window = OpenInFolder();
    window.Button1->click();
    ASSERT_TRUE(window.PopupMenu1->isVisible());
    const QPoint pane = window.Panel3->mapTo(&window, QPoint(0, 0));
    EXPECT_EQ(pane, QPoint(225, 0));
    EXPECT_EQ(window.PopupMenu1->pos(), window.frameGeometry().topLeft() + QPoint(231, 66));
    window.PopupMenu1->close();
}

std::string SettingsText(const std::filesystem::path& file) {
    return test::ReadAll(file);
}

// Guards the settings file: the first start writes the defaults, a close writes the window's
// state, the next start reproduces it without running the filter change.
TEST_F(TForm1Test, SettingsRoundTrip) {
    const auto file = settings.path() / "Kronalo.dat";
    {
        TForm1& window = OpenInFolder();
        EXPECT_EQ(SettingsText(file),
                  "2\r\n*.avi\r\n-1\r\n-1\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n");
        window.Filter->setEditText("*.mpg");
        window.SelectAllBox->setChecked(false);
        window.MakeReturnFileBtn->setChecked(false);
        window.ToNameEdit->setText("KUVA_*.wmv");
        window.Splitter1->setSizes({300, window.Splitter1->width() - 308});
        window.move(40, 50);
        // The user's resize, to 700 x 450 frame included.
        window.resize(QSize(700, 450) - (window.frameGeometry().size() - window.size()));
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(SettingsText(file),
              "-1\r\n*.mpg\r\n0\r\n0\r\nKUVA_*.wmv\r\n300\r\n40\r\n50\r\n700\r\n450\r\n");

    TForm1& again = Open({});
    EXPECT_EQ(again.Filter->currentText().toStdString(), "*.mpg");
    EXPECT_EQ(again.Filter->currentIndex(), -1);
    EXPECT_EQ(again.FileList->Mask(), "*.avi") << "the load does not run the filter change";
    EXPECT_FALSE(again.SelectAllBox->isChecked());
    EXPECT_FALSE(again.MakeReturnFileBtn->isChecked());
    EXPECT_EQ(again.ToNameEdit->text().toStdString(), "KUVA_*.wmv");
    EXPECT_EQ(again.Panel1->width(), 300);
    EXPECT_EQ(again.pos(), QPoint(40, 50));
    EXPECT_EQ(again.frameGeometry().size(), QSize(700, 450));
    EXPECT_TRUE(log.empty());
}

// Guards the reading errors: each is shown, the lines before it apply, the window still opens.
TEST_F(TForm1Test, SettingsErrors) {
    const auto file = settings.path() / "Kronalo.dat";
    const struct {
        const char* what;
        std::string content;
        std::string message;
    } rows[] = {
        {"five lines", "0\r\n*.jpg\r\n0\r\n-1\r\nX_*\r\n",
         "error: '' is not a valid integer value"},
        {"a bad check state", "2\n*.avi\nyes\n", "error: 'yes' is not a valid boolean value"},
    };
    for (const auto& row : rows) {
        std::ofstream(file, std::ios::binary) << row.content;
        log.clear();
        TForm1& window = Open({});
        EXPECT_EQ(log, std::vector<std::string>{row.message}) << row.what;
        EXPECT_EQ(window.Panel1->width(), 217) << row.what;
        EXPECT_EQ(window.frameGeometry().size(), QSize(651, 382)) << row.what;
    }
    EXPECT_EQ(form->ToNameEdit->text().toStdString(), "*.wmv");

    // What never ends or cannot be read without waiting: the window opens at once, with its
    // defaults; of a huge file only the first bytes are read.
    const std::string cannotOpen = "error: Cannot open file " + file.string();
    const struct {
        const char* what;
        std::function<void()> make;
        std::string message;
    } endless[] = {
        {"a FIFO", [&] { ::mkfifo(file.c_str(), 0600); }, cannotOpen},
        {"a link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", file); },
         cannotOpen},
        {"a 2 GB sparse file",
         [&] {
             std::ofstream(file).close();
             std::filesystem::resize_file(file, 2ULL << 30);
         },
         "error: '" + std::string(200, '\0') + "...' is not a valid integer value"},
    };
    for (const auto& row : endless) {
        std::filesystem::remove(file);
        row.make();
        log.clear();
        TForm1& window = Open({});
        EXPECT_EQ(log, std::vector<std::string>{row.message}) << row.what;
        EXPECT_EQ(window.frameGeometry().size(), QSize(651, 382)) << row.what;
    }
    std::filesystem::remove(file);
    Open({});
    // The five-line file applied its lines before the error.
    std::ofstream(file, std::ios::binary) << "0\r\n*.jpg\r\n0\r\n-1\r\nX_*\r\n";
    TForm1& partial = Open({});
    EXPECT_EQ(partial.Filter->currentText().toStdString(), "*.jpg");
    EXPECT_EQ(partial.ToNameEdit->text().toStdString(), "X_*");
    EXPECT_FALSE(partial.SelectAllBox->isChecked());

    // A folder where the file should be cannot be opened, nor replaced at closing.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    log.clear();
    TForm1& blocked = Open({});
    EXPECT_TRUE(blocked.close());
    EXPECT_EQ(log, (std::vector<std::string>{"error: Cannot open file " + file.string(),
                                             "error: Cannot create file " + file.string()}));
}

} // namespace

namespace {

// Guards the question box's answers: Yes and No as clicked, Esc is No, and a box closed by its
// frame, or closed as settled by something else, is no answer at all, which the run takes as Yes.
TEST(DialogsTest, QuestionBoxAnswers) {
    // A button missing closes the box: no answer.
    const auto click = [](const char* caption) {
        return [caption](QWidget* box) {
            for (QPushButton* button : box->findChildren<QPushButton*>())
                if (button->text() == QString::fromUtf8(caption))
                    return button->click();
            box->close();
        };
    };
    window::MessageBoxDialogs dialogs(nullptr);
    const std::string own = form::text::kStopOrWait, selectAll = engine::messages::kNothingSelected;
    const struct {
        const char* what;
        std::string question;
        std::function<void(QWidget*)> act;
        form::Answer expected;
    } rows[] = {
        {"Kyllä, as the question says", own, click("&Kyllä"), form::Answer::Yes},
        {"Ei, as the question says", own, click("&Ei"), form::Answer::No},
        {"the select-all question's Yes", selectAll, click("&Yes"), form::Answer::Yes},
        {"the select-all question's No", selectAll, click("&No"), form::Answer::No},
        {"Esc", own, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }, form::Answer::No},
        {"closed by its frame", own, [](QWidget* box) { box->close(); }, form::Answer::Closed},
        {"closed as settled", own, [&dialogs](QWidget*) { dialogs.CloseQuestion(); },
         form::Answer::Closed},
    };
    for (const auto& row : rows) {
        QTimer::singleShot(0, [&row] {
            if (QWidget* box = QApplication::activeModalWidget())
                row.act(box);
        });
        EXPECT_EQ(dialogs.Ask(row.question), row.expected) << row.what;
    }
    // The script-written box: only OK goes on.
    const struct {
        const char* what;
        std::function<void(QWidget*)> act;
        bool goesOn;
    } written[] = {
        {"OK", click("OK"), true},
        {"Peruuta", click(form::text::kCancel), false},
        {"Esc", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }, false},
        {"closed by its frame", [](QWidget* box) { box->close(); }, false},
    };
    for (const auto& row : written) {
        QTimer::singleShot(0, [&row] {
            if (QWidget* box = QApplication::activeModalWidget())
                row.act(box);
        });
        EXPECT_EQ(dialogs.Confirm(engine::messages::kScriptWritten, "a -> b"), row.goesOn)
            << row.what;
    }
}

// Guards the details of the script-written box: its button reads as in Kronalo.exe and names its
// next step, and the details open at a size a long list can be read at.
TEST(DialogsTest, DetailsReadAsInTheOtherWindow) {
    window::MessageBoxDialogs dialogs(nullptr);
    std::vector<std::string> named;
    QSize pane;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (button == box->button(QMessageBox::Ok))
                continue;
            named.push_back(button->text().toStdString());
            const QString before = button->text();
            button->click();
            (void)QTest::qWaitFor([&] { return button->text() != before; });
            QApplication::processEvents();
            named.push_back(button->text().toStdString());
        }
        if (const QTextEdit* details = box->findChild<QTextEdit*>()) {
            (void)QTest::qWaitFor([&] { return details->width() >= 640; });
            pane = details->size();
        }
        box->close();
    });
    dialogs.ShowWithDetails("x", "a.avi -> a.wmv");
    EXPECT_EQ(named,
              (std::vector<std::string>{form::text::kShowDetails, form::text::kHideDetails}));
    EXPECT_GE(pane.width(), 640);
    EXPECT_GE(pane.height(), 320);
}

} // namespace

namespace {

// Guards the captions with the fonts this machine has: each is shown whole, its control at the
// place the layout gives it, inside its pane.
TEST_F(TForm1Test, CaptionsWhole) {
    TForm1& window = OpenInFolder();
    const std::string face = QFontInfo(window.font()).family().toStdString();
    if (const std::string wanted = qEnvironmentVariable("KRONALO_TEST_FACE").toStdString();
        !wanted.empty() && !face.starts_with(wanted))
        GTEST_SKIP() << wanted << " was asked for, but the window got " << face;
    // With the face the measures were made for, every control stands where they put it; a
    // taller face moves the controls below a caption down, never sideways.
    const bool measured = face.starts_with("Liberation Sans");
    const struct {
        const char* name;
        QWidget* control;
        QPoint place;
    } rows[] = {
        {"Label1", window.Label1, {4, 2}},
        {"SelectAllBox", window.SelectAllBox, {8, 8}},
        {"SelectAllBtn", window.SelectAllBtn, {8, 37}},
        {"Label2", window.Label2, {8, 79}},
        {"Label3", window.Label3, {10, 119}},
        {"Button1", window.Button1, {8, 152}},
        {"DoItBtn", window.DoItBtn, {6, 8}},
    };
    for (const auto& row : rows) {
        EXPECT_LE(row.control->sizeHint().width(), row.control->width()) << row.name << face;
        if (row.control->hasHeightForWidth()) {
            EXPECT_LE(row.control->heightForWidth(row.control->width()), row.control->height())
                << row.name << face;
        }
        EXPECT_EQ(row.control->x(), row.place.x()) << row.name << face;
        EXPECT_GE(row.control->y(), row.place.y()) << row.name << face;
        if (measured) {
            EXPECT_EQ(row.control->pos(), row.place) << row.name;
        }
        const QWidget* pane = row.control->parentWidget();
        EXPECT_LE(row.control->geometry().right(), pane->width()) << row.name << " leaves its pane";
        EXPECT_LE(row.control->geometry().bottom(), pane->height())
            << row.name << " leaves its pane";
    }
    // No box below a caption covers its text, and no control runs into the one below it.
    const std::pair<QWidget*, QWidget*> stacked[] = {
        {window.Label1, window.Filter},     {window.SelectAllBtn, window.Label2},
        {window.Label2, window.ToNameEdit}, {window.ToNameEdit, window.Label3},
        {window.Label3, window.Button1},
    };
    for (const auto& [upper, lower] : stacked)
        // A caption's text ends at its last line's descent.
        EXPECT_LT(upper->geometry().bottom() -
                      (qobject_cast<QLabel*>(upper) ? upper->fontMetrics().descent() : 0),
                  lower->geometry().top())
            << upper->objectName().toStdString() << " runs into "
            << lower->objectName().toStdString() << " with " << face;
    EXPECT_LE(window.Filter->geometry().bottom(), window.Filter->parentWidget()->height());
}

// Guards the tree's places, under a home of the test's own with two user folders and fake
// volumes: the desktop first, then home, the user folders that exist, the removable and
// network volumes, the root; a pick in the tree or the drop-down moves the list there.
TEST_F(TForm1Test, DesktopPlaces) {
    test::TempFolder home;
    for (const char* folderName : {"Desktop", "Documents", "Videos"})
        std::filesystem::create_directory(home.path() / folderName);
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.str()));
    const QList<window::Place> places =
        window::DesktopPlaces({{"/", "ext4", false, false},
                               {"/boot", "ext4", false, false},
                               {"/media/u/STICK", "vfat", true, false},
                               {"/srv/share", "cifs", false, true}});
    qputenv("HOME", oldHome);

    const QString h = QString::fromStdString(home.str());
    using Kind = window::Place::Kind;
    EXPECT_EQ(places, (QList<window::Place>{{"Desktop", h + "/Desktop", Kind::Desktop},
                                            {"Home", h, Kind::Home},
                                            {"Documents", h + "/Documents", Kind::UserFolder},
                                            {"Movies", h + "/Videos", Kind::UserFolder},
                                            {"STICK", "/media/u/STICK", Kind::Volume},
                                            {"share", "/srv/share", Kind::NetworkVolume},
                                            {"/", "/", Kind::Root}}));

    TForm1& window = OpenInFolder();
    const QString list = QString::fromStdString(Canonical(folder.path()));
    EXPECT_EQ(window.TreeView->SelectedPath(), list) << "the tree opens to the list folder";
    ASSERT_TRUE(window.TreeView->SelectFolder(list + "/sub"));
    // The tree reports its pick after its change delay.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window.FileList->Folder() == (list + "/sub").toStdString();
    })) << "a pick in the tree";
    const int below = window.ComboBox->findData(list);
    ASSERT_GE(below, 0) << "the drop-down shows the folders down to the list's";
    window.ComboBox->activated(below);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.FileList->Folder() == list.toStdString(); }))
        << "a pick in the drop-down";
}

// Guards the system's titles: nothing appended to them, and the boxes in the middle of the
// screen.
TEST(DialogsTest, TitlesAndPlace) {
    EXPECT_TRUE(QGuiApplication::applicationDisplayName() == QGuiApplication::applicationName())
        << "a display name would be appended to every title";
    // A window in the screen's corner: Qt would centre the box over it.
    QWidget owner;
    window::MessageBoxDialogs dialogs(&owner);
    owner.setGeometry(0, 0, 200, 100);
    owner.show();
    QString caption;
    QPoint centre;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        caption = box->windowTitle();
        centre = box->frameGeometry().center();
        box->close();
    });
    dialogs.ShowInformation("x");
    EXPECT_EQ(caption.toStdString(), "Kronalo 1.3");
    const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((centre - screen).manhattanLength(), 8);
}

} // namespace
