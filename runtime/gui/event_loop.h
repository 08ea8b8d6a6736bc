// The application's event loop step: hand out a queued event, or pump one
// platform message (translating keyboard shortcuts on the way).
#pragma once

#include <cstdint>

#include "platform/win32/user32.h"

// An event code, the id of the raw message pumped, or 0 (nothing within the
// timeout; -1 waits without limit).
std::int32_t event_wait(std::int32_t timeout_ms);
// The shortcut table that applies to the active window now, or null.
HACCEL event_loop_shortcut_table(HWND active);
