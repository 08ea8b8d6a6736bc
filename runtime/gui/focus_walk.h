// Moves the keyboard focus to the next or previous enabled, visible tab-stop
// child of a window, wrapping around (the Tab and Shift+Tab commands).
#pragma once

#include "platform/win32/user32.h"

void focus_walk(HWND window, bool forward);
