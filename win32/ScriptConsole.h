#pragma once

#include "engine/TimeCopyRun.h"

#include <windows.h>

#include <functional>
#include <thread>

namespace win32 {

/// The stamp script's run in a console window of its own, under cmd. The window that started
/// it stays usable; it learns of the end through a message it is sent.
class TScriptConsole {
public:
    /// `notify` receives `endMessage` once the script's process has ended.
    TScriptConsole(HWND notify, UINT endMessage);
    /// Waits for a script still running, so that it is never cut short, and drops its end
    /// uncalled.
    ~TScriptConsole();
    TScriptConsole(const TScriptConsole&) = delete;
    TScriptConsole& operator=(const TScriptConsole&) = delete;

    /// Starts the held script with cmd in its folder; `ended` is called from Ended or WaitForEnd
    /// once the process has ended. False when it cannot be started.
    bool Start(const engine::ScriptLaunch& launch,
               std::function<void(const engine::ScriptOutcome&)> ended);
    bool IsRunning() const { return process_ != nullptr; }
    /// Blocks until the running script has ended and its end has been handled.
    void WaitForEnd();
    /// The end message has come: hands the outcome over.
    void Ended();

private:
    HWND notify_;
    UINT endMessage_;
    HANDLE process_ = nullptr;
    std::thread waiter_;
    std::function<void(const engine::ScriptOutcome&)> ended_;
};

} // namespace win32
