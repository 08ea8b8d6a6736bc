// Offscreen on Linux is the headless backend with nothing scripted: its
// virtual clock drives the timers, and its message boxes answer at once.
#include "platform/offscreen.h"

#include "platform/backend/backend.h"
#include "platform/backend/headless/headless.h"

void offscreen_begin() {
  backend_select(nullptr);
  headless_reset();
  // Nobody looks at this screen: what is drawn reaches a file through the
  // program's own bitmaps, not through the display.
  headless_keep_presented_pixels(FALSE);
}

void offscreen_advance(DWORD milliseconds) { headless_advance_clock(milliseconds); }

void offscreen_end() { headless_reset(); }
