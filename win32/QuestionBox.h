#pragma once

#include "engine/TimeCopyRun.h"

#include <windows.h>

namespace win32 {

/// The system's question box over `owner`: `caption`, `text`, the question icon, Yes (the
/// default) and No. Esc answers No, as the box's cancel button; closing it otherwise gives no
/// answer.
engine::Answer AskQuestion(HWND owner, const wchar_t* text, const wchar_t* caption);

} // namespace win32
