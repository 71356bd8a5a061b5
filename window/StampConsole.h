#pragma once

#include "engine/TimeCopyRun.h"

#include <QByteArray>
#include <QProcess>
#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace window {

/// A console window of its own for one stamp script: it runs the script as a separate process
/// in the list folder, shows its output as it arrives and the stamp calls done out of all, and
/// sums up at the end. The window that started it stays usable meanwhile.
class TStampConsole : public QWidget {
    Q_OBJECT

public:
    explicit TStampConsole(QWidget* parent = nullptr);
    /// Waits for a script still running, so that it is never cut short, and drops its end
    /// uncalled: what it would report to is going away.
    ~TStampConsole() override;

    /// Starts the held script unless one is still running. `ended` is called once the process
    /// has ended. False when it cannot be started.
    bool Start(const engine::ScriptLaunch& launch,
               std::function<void(const engine::ScriptOutcome&)> ended);

    /// True while a script runs.
    bool IsRunning() const;

    /// Blocks until the running script has ended and its end has been handled.
    void WaitForEnd();

    /// The output shown so far.
    QString Output() const;

private:
    void Build();
    void ReadOutput(QProcess::ProcessChannel channel);
    void TakeLines(QByteArray& pending, bool flush);
    void Finished(int exitCode, QProcess::ExitStatus status);

    QProcess* process_;
    QPlainTextEdit* output_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* close_ = nullptr;
    QByteArray pendingOut_;
    QByteArray pendingErr_;
    engine::ScriptOutcome outcome_;
    bool creationNote_ = false;
    std::function<void(const engine::ScriptOutcome&)> ended_;
};

} // namespace window
