// The GTK 3 display backend: real windows on the desktop (X11 or Wayland, as
// GDK decides), for people at a screen.
#pragma once

#include "platform/backend/backend.h"
#include "platform/desktop_display.h"

// Opens the display; null when GDK cannot open one (no desktop to draw on).
// The table stays valid for the rest of the process.
const DisplayBackend* gtk_backend_open();

// Called once when the display goes away, with the system's or GDK's reason
// (platform/desktop_display.h); without one the process ends as GDK ends it.
void gtk_backend_when_display_lost(DisplayLostHandler handler);
