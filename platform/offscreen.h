// Drawing with no one looking, as the command line renders: what it needs
// from "no display". While offscreen, timers run on a virtual clock that only
// offscreen_advance moves, so a render of many ticks takes no real time; a
// message box is answered by its first button without waiting for anyone
// (whoever showed it knows what it said). The headless backend implements it
// on Linux, an unseen desktop on Windows.
#pragma once

#include "platform/win32/types.h"

// Before the first window: the windows made from now on go nowhere anyone
// sees, and the virtual clock starts at 0 with no timers.
void offscreen_begin();
// Moves the virtual clock on. Every timer that fell due has a WM_TIMER
// waiting for its window (one at most per timer, as Win32 keeps it).
void offscreen_advance(DWORD milliseconds);
// After the last window is gone: the clock and its timers are forgotten, and
// windows go where the display puts them again.
void offscreen_end();
