// The desktop's display on Linux: GTK's.
#include "platform/desktop_display.h"

#include "platform/backend/gtk/gtk_backend.h"

bool desktop_display_open(DisplayLostHandler when_lost) {
  gtk_backend_when_display_lost(when_lost);
  const DisplayBackend* gtk = gtk_backend_open();
  if (!gtk) return false;
  backend_select(gtk);
  return true;
}
