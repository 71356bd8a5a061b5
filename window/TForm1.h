#pragma once

#include "form/FormRules.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace window {

class TFileList;
class TFolderComboBox;
class TFolderTree;
class TStampConsole;

/// Kronalo's one window: the folder tree with its drop-down and path box, the filtered file
/// list, the target field and the run button. Its handlers keep the three views of the current
/// folder in step; the list folder is always the process's current directory.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    /// What the window is built with: the window's rules' setup (its configuration and
    /// installed folders are the window's to fill in), and the message boxes.
    struct Setup : form::FormSetup {
        /// The message boxes; the real ones when empty (tests answer their own).
        std::unique_ptr<form::TBoxes> boxes;
    };

    explicit TForm1(Setup setup, QWidget* parent = nullptr);
    ~TForm1() override;

    /// The console window of the last stamp script.
    TStampConsole* StampConsole() const { return console_; }
    /// The console's script, for waiting on it.
    form::StampConsole& ScriptConsole() { return rules_->Console(); }

    /// The window's decisions: its events that need nothing of the window go there directly.
    form::TFormRules& Rules() { return *rules_; }

    // The controls, by their component names.
    QWidget* Panel1;
    QWidget* Panel2;
    QLineEdit* Path;
    TFolderComboBox* ComboBox;
    QLabel* Label4;
    TFolderTree* TreeView;
    QSplitter* Splitter1;
    QWidget* Panel3;
    QWidget* Panel6;
    QLabel* Label1;
    QComboBox* Filter;
    TFileList* FileList;
    QWidget* Panel4;
    QCheckBox* SelectAllBox;
    QCheckBox* MakeReturnFileBtn;
    QPushButton* SelectAllBtn;
    QLabel* Label2;
    QLineEdit* ToNameEdit;
    QLabel* Label3;
    QPushButton* Button1;
    QPlainTextEdit* FileBuf;
    QWidget* Panel5;
    QPushButton* DoItBtn;
    QMenu* PopupMenu1;

    // Handlers.
    void FormShow();
    void FormResize();
    void Splitter1Moved();

    // Selection commands.
    void SelectAllBtnClick();
    void Button1Click();
    void Valitsekaikki1Click();
    void Valitsejokatoinen1Click();
    void Knteinenvalinta1Click();
    void Valitsejokatoinenjovalitut1Click();
    void VaihdapolkuaAltD1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class View;

    /// Grows each captioned control to its caption in the face at hand, and what lies below it.
    void FitCaptions();
    void BuildControls();
    void Wire();
    void BuildLeftPane();
    void BuildMiddlePane();
    void BuildRightPane();
    void BuildPopupMenu();
    /// Sizes the client area so that the window, frame included, has the outer size wanted.
    void ApplyOuterSize();

    // First, so that events arriving while the children are built find them set.
    bool shown_ = false;
    /// The outer size the window is to have, frame included, and whether its frame has been met.
    QSize outer_;
    bool framed_ = false;
    std::unique_ptr<form::TBoxes> boxes_;
    TStampConsole* console_;
    std::unique_ptr<View> view_;
    std::unique_ptr<form::TFormRules> rules_;
    /// The left pane's width as last set, for saving before the window has been laid out.
    int leftPaneWidth_ = form::TSettings().leftPaneWidth;
};

} // namespace window
