#include "window/StampConsole.h"

#include "form/Boxes.h"
#include "form/FormText.h"
#include "window/Dialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace window {

TStampConsole::TStampConsole(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("StampConsole"));
    setWindowTitle(QString::fromUtf8(form::text::kConsoleTitle));
    resize(640, 360);
}

void TStampConsole::Build() {
    // Built at the first run: its monospaced face is a font lookup the window's start would
    // otherwise pay for.
    if (output_)
        return;
    output_ = new QPlainTextEdit(this);
    progress_ = new QProgressBar(this);
    summary_ = new QLabel(this);
    close_ = new QPushButton(QString::fromUtf8(form::text::kConsoleClose), this);
    stop_ = new QPushButton(QString::fromUtf8(form::text::kConsoleStop), this);
    stop_->setObjectName(QStringLiteral("StopButton"));
    output_->setReadOnly(true);
    // Every line whole in the console's width, a long name broken anywhere.
    output_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    output_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    output_->setFont(mono);
    summary_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output_);
    layout->addWidget(progress_);
    layout->addWidget(summary_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stop_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (stopped_)
            stopped_();
    });
}

void TStampConsole::Begin(std::size_t calls, const std::string& status) {
    Build();
    output_->clear();
    progress_->setRange(0, static_cast<int>(calls));
    progress_->setValue(0);
    summary_->setText(BoxText(status));
    close_->setEnabled(false);
    stop_->setEnabled(true);
    // Placed once, wholly on the screen.
    if (!testAttribute(Qt::WA_Moved))
        CentreOnScreen(*this);
    // In front of the main window, which the run's boxes leave active.
    show();
    raise();
    activateWindow();
}

void TStampConsole::Append(std::string_view lines) {
    output_->appendPlainText(QString::fromUtf8(lines.data(), static_cast<qsizetype>(lines.size())));
}

void TStampConsole::Progress(std::size_t done) {
    progress_->setValue(static_cast<int>(done));
}

void TStampConsole::End(const std::string& summary) {
    summary_->setText(BoxText(summary));
    close_->setEnabled(true);
    stop_->setEnabled(false);
}

void TStampConsole::Connect(std::function<void()> stop, std::function<bool()> closing) {
    stopped_ = std::move(stop);
    closing_ = std::move(closing);
}

void TStampConsole::closeEvent(QCloseEvent* event) {
    if (closing_ && !closing_())
        event->ignore();
    else
        event->accept();
}

QString TStampConsole::Output() const {
    return output_ ? output_->toPlainText() : QString();
}

} // namespace window
