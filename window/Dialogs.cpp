#include "window/Dialogs.h"

#include "form/FormText.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace window {

QString BoxText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void MessageBoxDialogs::Information(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(form::text::kTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void MessageBoxDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(form::text::kTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

namespace {

/// A question box that tells a close by its frame from a click on No: Qt reports both as the
/// escape button, but only Esc and No mean No.
class QuestionBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closedByFrame = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        closedByFrame = true;
        QMessageBox::closeEvent(event);
    }
};

} // namespace

engine::Answer MessageBoxDialogs::Question(QWidget* parent, const QString& text) {
    QuestionBox box(QMessageBox::Question, QString::fromUtf8(form::text::kConfirmCaption), text,
                    QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QString::fromUtf8(form::text::kYes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(form::text::kNo), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    if (box.closedByFrame)
        return engine::Answer::Closed;
    if (box.clickedButton() == no)
        return engine::Answer::No;
    return box.clickedButton() == yes ? engine::Answer::Yes : engine::Answer::Closed;
}

} // namespace window
