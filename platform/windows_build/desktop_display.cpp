// The desktop's display on Windows is the system's own, always there: its
// windows, timers and message boxes are user32's unless a render is offscreen.
#include "platform/desktop_display.h"

bool desktop_display_open(DisplayLostHandler) { return true; }

const char* desktop_display_failure() { return nullptr; }
