#pragma once

#include "form/StampConsole.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace window {

/// The stamp script's console: a window of its own that shows the script's output as it
/// arrives, the Stamplet calls done out of all and the summary at the end. The window that
/// started it stays usable meanwhile.
class TStampConsole : public QWidget, public form::TConsoleView {
    Q_OBJECT

public:
    explicit TStampConsole(QWidget* parent = nullptr);

    /// The output shown so far.
    QString Output() const;

    void Begin(std::size_t calls, const std::string& status) override;
    void Append(std::string_view lines) override;
    void Progress(std::size_t done) override;
    void End(const std::string& summary) override;
    void Connect(std::function<void()> stop, std::function<bool()> closing) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();

    std::function<void()> stopped_;
    std::function<bool()> closing_;
    QPushButton* stop_ = nullptr;

    QPlainTextEdit* output_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace window
