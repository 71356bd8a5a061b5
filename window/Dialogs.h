#pragma once

#include "engine/TimeCopyRun.h"

#include <QString>

class QWidget;

namespace window {

/// The window's modal message boxes. Tests put answering ones in their place.
class TDialogs {
public:
    virtual ~TDialogs() = default;

    /// An information box: the program's title as caption, no icon, OK.
    virtual void Information(QWidget* parent, const QString& text) = 0;

    /// An error raised by the platform, in its English text.
    virtual void Error(QWidget* parent, const QString& text) = 0;

    /// A confirmation: caption "Confirm", a question icon, "&Yes" (Enter) and "&No" (Esc).
    virtual engine::Answer Question(QWidget* parent, const QString& text) = 0;
};

/// The real boxes, centred on the screen.
class MessageBoxDialogs final : public TDialogs {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    engine::Answer Question(QWidget* parent, const QString& text) override;
};

/// A message text as a box shows it: the engine's "\r" line breaks become real ones.
QString BoxText(const std::string& text);

/// Places `window` in the middle of its screen, its top left corner on the screen whatever its
/// size.
void CentreOnScreen(QWidget& window);

} // namespace window
