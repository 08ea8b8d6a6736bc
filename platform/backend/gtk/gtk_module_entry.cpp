// The GTK backend module's entry, looked up by name when the desktop program
// opens its display.
#include "platform/backend/desktop_module.h"
#include "platform/backend/gtk/gtk_backend.h"

extern "C" __attribute__((visibility("default"))) const DisplayBackend* ifs_render_desktop_open(
    DisplayLostHandler when_lost) {
  gtk_backend_when_display_lost(when_lost);
  return gtk_backend_open();
}
