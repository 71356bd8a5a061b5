#pragma once

#include "form/Boxes.h"

#include <QString>

class QMessageBox;
class QWidget;

namespace window {

/// The real message boxes, centred on the screen.
class MessageBoxDialogs final : public form::TBoxes {
public:
    /// Boxes over `parent`.
    explicit MessageBoxDialogs(QWidget* parent) : parent_(parent) {}

    void ShowInformation(const std::string& text) override;
    void ShowWithDetails(const std::string& text, const std::string& details) override;
    bool Confirm(const std::string& text, const std::string& details) override;
    void ShowError(const std::string& text) override;
    form::Answer Ask(const std::string& question) override;
    void CloseQuestion() override;

private:
    QWidget* parent_;
    /// The question box open now, the innermost where several are; null where none is.
    QMessageBox* question_ = nullptr;
};

/// A message text as a box shows it: the engine's "\r" line breaks become real ones.
QString BoxText(const std::string& text);

/// Places `window` in the middle of its screen, its top left corner on the screen whatever its
/// size.
void CentreOnScreen(QWidget& window);

} // namespace window
