#pragma once

#include "form/Boxes.h"

#include <windows.h>

namespace win32 {

/// The system's question box over `owner`: `caption`, `text`, the question icon, Yes (the
/// default) and No, named as `buttons` says. Esc answers No, as the box's cancel button; closing
/// it otherwise gives no answer.
form::Answer AskQuestion(HWND owner, const wchar_t* text, const wchar_t* caption,
                         const form::QuestionButtons& buttons);

/// Closes the box AskQuestion shows, where one is open, as a box closed otherwise: it answers
/// Closed.
void CloseQuestionBox();

/// An information box over `owner` as the system's own with OK alone: `caption`, `text`, no icon,
/// OK the default; Enter, Esc and closing it answer OK. A second button opens `details` below the
/// text in a read-only edit (form::text::kShowDetails), and closes them again. Where
/// `cancellable`, "Peruuta" stands right of OK, and Esc and closing the box answer it. True once
/// dismissed with OK.
bool ShowDetailsBox(HWND owner, const wchar_t* text, const wchar_t* details, const wchar_t* caption,
                    bool cancellable = false);

/// The help or the version the command line asked for (UTF-8): written to the program's output
/// where it goes to a file or a pipe, as a window program has no console of its own; shown in a
/// box with OK otherwise. Returns once written or dismissed.
void ShowProgramAnswer(const char* text);

} // namespace win32
