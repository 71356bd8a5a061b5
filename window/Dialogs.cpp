#include "window/Dialogs.h"

#include "form/FormText.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

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

void MessageBoxDialogs::ShowWithDetails(const std::string& text, const std::string& details) {
    Box box(QMessageBox::NoIcon, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::Ok, parent_);
    // The platform's own "Show Details..." button opens them; the text and OK stay as they are.
    box.setDetailedText(BoxText(details));
    box.exec();
}

void MessageBoxDialogs::ShowError(const std::string& text) {
    Box box(QMessageBox::Critical, QString::fromUtf8(form::text::kTitle), BoxText(text),
            QMessageBox::Ok, parent_);
    box.exec();
}

form::Answer MessageBoxDialogs::Ask(const std::string& question) {
    Box box(QMessageBox::Question, QString::fromUtf8(form::text::kConfirmCaption),
            BoxText(question), QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QString::fromUtf8(form::text::kYes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(form::text::kNo), QMessageBox::NoRole);
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
