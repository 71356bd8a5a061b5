#pragma once

#include "form/StampConsole.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace win32 {

/// The stamp script's console: a window of its own that shows the script's output as it
/// arrives, the Stamplet calls done out of all and the summary at the end, with a stop button while
/// the script runs. The window that started it stays usable meanwhile.
class TStampConsole final : public form::TConsoleView {
public:
    TStampConsole(HWND owner, HINSTANCE instance);
    ~TStampConsole() override;
    TStampConsole(const TStampConsole&) = delete;
    TStampConsole& operator=(const TStampConsole&) = delete;

    void Begin(std::size_t calls, const std::string& status) override;
    void Append(std::string_view lines) override;
    void Progress(std::size_t done) override;
    void End(const std::string& summary) override;
    void Connect(std::function<void()> stop, std::function<bool()> closing) override;

    /// The output keeps its last this many lines as it shows them, and at most a quarter more:
    /// older lines make way for newer ones, while the progress and the summary count every call.
    static constexpr int kKeptLines = 3000;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    void Layout();

    HWND window_ = nullptr;
    HWND output_ = nullptr;
    HWND progress_ = nullptr;
    HWND summary_ = nullptr;
    HWND close_ = nullptr;
    HWND stop_ = nullptr;
    std::function<void()> stopped_;
    std::function<bool()> closing_;
    HFONT mono_ = nullptr;
    bool placed_ = false;

    void Flush();
    void Trim();
    /// The output not shown yet: shown in one piece once the flush timer fires, and at the end.
    std::wstring pending_;
    bool timed_ = false;
    std::chrono::milliseconds interval_{};
};

} // namespace win32
