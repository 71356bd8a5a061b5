#include "window/Dialogs.h"

#include "form/FormText.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>
#include <utility>

namespace window {
namespace {

/// A message box centred on the screen, as the system's boxes are, rather than over its window;
/// it tells a close by its frame from a click on the escape button, which Qt reports alike.
class Box final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedByFrame = false;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen())
            move(shown->availableGeometry().center() - rect().center());
    }
    void closeEvent(QCloseEvent* event) override {
        closedByFrame = true;
        QMessageBox::closeEvent(event);
    }
};

} // namespace

QString BoxText(const std::string& text) {
    return QString::fromStdString(form::BoxText(text, "\n"));
}

void CentreOnScreen(QWidget& window) {
    const QScreen* shown = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return;
    const QRect available = shown->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(available.center());
    // A window larger than the screen keeps its top left corner on it.
    frame.moveTopLeft(
        QPoint(std::max(frame.left(), available.left()), std::max(frame.top(), available.top())));
    window.move(frame.topLeft());
}

void MessageBoxDialogs::ShowInformation(const std::string& text) {
    Box box(QMessageBox::NoIcon, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::Ok, parent_);
    box.exec();
}

namespace {

/// The details button of `box`, which names its next step as in Kronalo.exe, and a details pane
/// large enough to read a long run's pairs in.
void NameDetails(QMessageBox& box) {
    constexpr QSize kDetailsSize(720, 360);
    if (QTextEdit* pane = box.findChild<QTextEdit*>())
        pane->setMinimumSize(kDetailsSize);
    for (QPushButton* button : box.findChildren<QPushButton*>()) {
        if (button == box.button(QMessageBox::Ok))
            continue;
        button->setText(QString::fromUtf8(form::text::kShowDetails));
        // Queued: runs after the box's own handler, which shows or hides the pane and names the
        // button in English.
        const auto name = [&box, button] {
            const QTextEdit* pane = box.findChild<QTextEdit*>();
            button->setText(QString::fromUtf8(
                pane && pane->isVisible() ? form::text::kHideDetails : form::text::kShowDetails));
        };
        QObject::connect(button, &QPushButton::clicked, &box, name, Qt::QueuedConnection);
    }
}

} // namespace

void MessageBoxDialogs::ShowWithDetails(const std::string& text, const std::string& details) {
    Box box(QMessageBox::NoIcon, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::Ok, parent_);
    // The box's own details button opens them; the text and OK stay as they are.
    box.setDetailedText(BoxText(details));
    NameDetails(box);
    box.exec();
}

bool MessageBoxDialogs::Confirm(const std::string& text, const std::string& details) {
    Box box(QMessageBox::NoIcon, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::NoButton, parent_);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel =
        box.addButton(QString::fromUtf8(form::text::kCancel), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.setDetailedText(BoxText(details));
    NameDetails(box);
    box.exec();
    // Only OK goes on: Esc, Peruuta and the frame's close decline.
    return !box.closedByFrame && box.clickedButton() == ok;
}

void MessageBoxDialogs::ShowError(const std::string& text) {
    Box box(QMessageBox::Critical, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::Ok, parent_);
    box.exec();
}

form::Answer MessageBoxDialogs::Ask(const std::string& question) {
    Box box(QMessageBox::Question, QString::fromUtf8(form::text::kConfirmCaption),
            BoxText(question), QMessageBox::NoButton, parent_);
    const form::QuestionButtons buttons = form::ButtonsOf(question);
    QPushButton* yes = box.addButton(QString::fromUtf8(buttons.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(buttons.no), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    QMessageBox* const outer = std::exchange(question_, &box);
    box.exec();
    question_ = outer;
    // Only Esc and No mean No.
    if (box.closedByFrame)
        return form::Answer::Closed;
    if (box.clickedButton() == no)
        return form::Answer::No;
    return box.clickedButton() == yes ? form::Answer::Yes : form::Answer::Closed;
}

void MessageBoxDialogs::CloseQuestion() {
    if (question_)
        question_->close();
}

} // namespace window
