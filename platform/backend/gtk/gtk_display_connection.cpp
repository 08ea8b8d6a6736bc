// The display connection as GDK keeps it: what the program is told when the
// display goes away under it (the X server ended, the compositor quit), and
// GDK's and GTK's own complaints that leave nothing to act on (a Wayland display
// without any seat, a menu opened for the keyboard outside a GTK event).
#include <gdk/gdkx.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/backend/gtk/gtk_backend.h"
#include "platform/backend/gtk/gtk_internal.h"

namespace {

DisplayLostHandler display_lost = nullptr;
bool opening_menu_for_keyboard = false;

// Xlib calls this when the connection fails; returning from it ends the process.
// A server that ended leaves errno at whatever the last read said (often
// EAGAIN): only a reason of its own is worth adding.
int on_x_connection_lost(Display* display) {
  const int error = errno;
  std::string reason = std::string("lost the connection to the X server ") + XDisplayString(display);
  if (error != 0 && error != EAGAIN) reason += std::string(" (") + std::strerror(error) + ")";
  if (display_lost) display_lost(reason.c_str());
  return 0;
}

// A compositor without a seat makes GDK's keymap ask for the keyboard of no
// seat. There is no keyboard to read then, and nothing the program could do.
bool seatless_keyboard_assertion(const gchar* message) {
  GdkDisplay* display = gdk_display_get_default();
  if (display && gdk_display_get_default_seat(display)) return false;
  return message && std::strstr(message, "gdk_seat_get_keyboard") && std::strstr(message, "GDK_IS_SEAT");
}

// GDK's Wayland side reports a lost compositor in a message ("Error reading
// events from display: Broken pipe", "Error ... dispatching to Wayland
// display.") and then exits.
bool wayland_connection_lost(GLogLevelFlags level, const gchar* message) {
  if (!(level & G_LOG_LEVEL_MESSAGE) || !message) return false;
  GdkDisplay* display = gdk_display_get_default();
  if (display && GDK_IS_X11_DISPLAY(display)) return false;
  return g_str_has_prefix(message, "Error ") && std::strstr(message, "display");
}

const gchar* field_text(const GLogField* fields, gsize count, const char* key) {
  for (gsize i = 0; i < count; ++i)
    if (std::strcmp(fields[i].key, key) == 0 && fields[i].length < 0) return static_cast<const gchar*>(fields[i].value);
  return nullptr;
}

// Every message passes here, structured or not (GDK writes both kinds).
GLogWriterOutput on_log(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
  const gchar* domain = field_text(fields, count, "GLIB_DOMAIN");
  const gchar* message = field_text(fields, count, "MESSAGE");
  // The menu opened for F10 runs outside any GTK event; GTK then grabs the
  // default seat's devices, which is what is meant, but says so.
  if (opening_menu_for_keyboard && domain && std::strcmp(domain, "Gtk") == 0 && message &&
      std::strstr(message, "no trigger event for menu popup"))
    return G_LOG_WRITER_HANDLED;
  if (domain && std::strcmp(domain, "Gdk") == 0) {
    if ((level & G_LOG_LEVEL_CRITICAL) && seatless_keyboard_assertion(message)) return G_LOG_WRITER_HANDLED;
    if (display_lost && wayland_connection_lost(level, message)) display_lost(message);
  }
  return g_log_writer_default(level, fields, count, data);
}

}  // namespace

void gtk_backend_when_display_lost(DisplayLostHandler handler) { display_lost = handler; }

void gtk_log_opening_menu_for_keyboard(bool opening) { opening_menu_for_keyboard = opening; }

void gtk_display_watch_logs() {
  // GLib takes one writer per process.
  static bool watching = false;
  if (!watching) g_log_set_writer_func(on_log, nullptr, nullptr);
  watching = true;
}

void gtk_display_watch_connection() {
  GdkDisplay* display = gdk_display_get_default();
  if (display && GDK_IS_X11_DISPLAY(display)) XSetIOErrorHandler(on_x_connection_lost);
}
