// The window procedures of runtime windows: window_event_proc turns messages
// into queued events; window_proc is the class procedure around it.
#pragma once

#include "platform/win32/user32.h"

// The event-producing core; NOT_HANDLED when the system default applies.
LRESULT window_event_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT window_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);
