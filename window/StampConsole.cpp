#include "window/StampConsole.h"

#include "engine/Messages.h"
#include "engine/StampTally.h"
#include "form/FormText.h"
#include "platform/CommandShell.h"
#include "window/Dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace window {

TStampConsole::TStampConsole(QWidget* parent)
    : QWidget(parent, Qt::Window), process_(new QProcess(this)) {
    setObjectName(QStringLiteral("StampConsole"));
    setWindowTitle(QString::fromUtf8(form::text::kConsoleTitle));
    resize(640, 360);
    connect(process_, &QProcess::readyReadStandardOutput, this,
            [this] { ReadOutput(QProcess::StandardOutput); });
    connect(process_, &QProcess::readyReadStandardError, this,
            [this] { ReadOutput(QProcess::StandardError); });
    connect(process_, &QProcess::finished, this, &TStampConsole::Finished);
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
    output_->setReadOnly(true);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    output_->setFont(mono);
    summary_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output_);
    layout->addWidget(progress_);
    layout->addWidget(summary_);
    layout->addWidget(close_, 0, Qt::AlignRight);

    connect(close_, &QPushButton::clicked, this, &QWidget::close);
}

TStampConsole::~TStampConsole() {
    // The process's end must not reach a console half taken apart.
    process_->disconnect(this);
    WaitForEnd();
    ended_ = nullptr;
}

bool TStampConsole::Start(const engine::ScriptLaunch& launch,
                          std::function<void(const engine::ScriptOutcome&)> ended) {
    Build();
    if (IsRunning())
        return false;
    // The command names no path of the user's: the folder is entered as bytes in the new
    // process, so a name that is not valid text still works.
    const std::vector<std::string> command = platform::ScriptCommand(launch.script);
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : launch.environment)
        environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    process_->setProcessEnvironment(environment);
    const platform::HeldFile* script = &launch.script;
    const platform::HeldFolder* folder = &launch.folder;
    process_->setChildProcessModifier(
        [script, folder] { platform::PrepareScriptChild(*script, *folder); });

    output_->clear();
    pendingOut_.clear();
    pendingErr_.clear();
    outcome_ = engine::ScriptOutcome();
    // Where the script leaves creation lines out, no Stamplet call says why; the run knows.
    creationNote_ = launch.creationNotKept;
    progress_->setRange(0, static_cast<int>(launch.stampCalls));
    progress_->setValue(0);
    summary_->setText(QString::fromUtf8(form::text::kConsoleRunning));
    close_->setEnabled(false);

    process_->start(QString::fromStdString(command.front()), arguments);
    if (!process_->waitForStarted())
        return false;
    ended_ = std::move(ended);
    // Placed once, wholly on the screen.
    if (!testAttribute(Qt::WA_Moved))
        CentreOnScreen(*this);
    show();
    raise();
    return true;
}

bool TStampConsole::IsRunning() const {
    return process_->state() != QProcess::NotRunning;
}

void TStampConsole::WaitForEnd() {
    if (IsRunning())
        process_->waitForFinished(-1);
}

QString TStampConsole::Output() const {
    return output_ ? output_->toPlainText() : QString();
}

void TStampConsole::ReadOutput(QProcess::ProcessChannel channel) {
    process_->setReadChannel(channel);
    QByteArray& pending = channel == QProcess::StandardOutput ? pendingOut_ : pendingErr_;
    pending += process_->readAll();
    TakeLines(pending, false);
}

void TStampConsole::TakeLines(QByteArray& pending, bool flush) {
    // What has arrived is counted line by line but shown in one piece: a fast script writes
    // thousands of lines a second, and each append lays the text out anew.
    qsizetype start = 0, end;
    int counted = 0;
    while ((end = pending.indexOf('\n', start)) >= 0 || (flush && start < pending.size())) {
        const qsizetype stop = end >= 0 ? end : pending.size();
        const std::string_view text(pending.constData() + start,
                                    static_cast<std::size_t>(stop - start));
        if (engine::TallyStampOutputLine(text, outcome_))
            ++counted;
        if (engine::IsCreationNoteLine(text))
            creationNote_ = true;
        start = end >= 0 ? end + 1 : pending.size();
    }
    if (start == 0)
        return;
    const qsizetype shown = start > 0 && pending[start - 1] == '\n' ? start - 1 : start;
    output_->appendPlainText(QString::fromLocal8Bit(pending.constData(), shown));
    pending.remove(0, start);
    if (counted > 0)
        progress_->setValue(std::min(progress_->maximum(), progress_->value() + counted));
}

void TStampConsole::Finished(int exitCode, QProcess::ExitStatus status) {
    ReadOutput(QProcess::StandardOutput);
    ReadOutput(QProcess::StandardError);
    TakeLines(pendingOut_, true);
    TakeLines(pendingErr_, true);
    outcome_.finished = status == QProcess::NormalExit && exitCode == 0;

    QString summary = QString::fromUtf8(form::text::kConsoleSummary)
                          .arg(outcome_.changed)
                          .arg(outcome_.cannotChange)
                          .arg(outcome_.notFound);
    if (!outcome_.finished)
        summary += QLatin1Char('\n') + QString::fromUtf8(form::text::kConsoleInterrupted);
    if (creationNote_)
        summary += QLatin1Char('\n') + QString::fromUtf8(engine::messages::kCreationNotKept);
    summary_->setText(summary);
    close_->setEnabled(true);

    // The run's end may start a new run from its message box; hand over a fresh callback slot.
    auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended)
        ended(outcome_);
}

} // namespace window
