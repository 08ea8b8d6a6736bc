// The keyboard cues (focus rectangles and menu-key underlines) of a window:
// shown while the user works the keyboard, hidden when the window is left.
#pragma once

#include "platform/win32/user32.h"

void keyboard_cues_show(HWND window);
void keyboard_cues_hide(HWND window);
