// The keyboard right now. On X11 the server is asked (XQueryKeymap sees a key
// held even while a dialog or another program has the focus); elsewhere the
// presses and releases the program received are all there is to go by.
#include <gdk/gdkx.h>

#include <array>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/gtk/key_codes.h"
#include "platform/win32/user32.h"

namespace {

std::array<bool, 256>& reported() {
  static std::array<bool, 256> keys{};
  return keys;
}

bool x11_key_down(GdkDisplay* display, int virtual_key) {
  guint keyvals[2];
  const int count = key_code_keyvals(virtual_key, keyvals);
  if (count == 0) return false;
  Display* x_display = gdk_x11_display_get_xdisplay(display);
  char keymap[32];
  XQueryKeymap(x_display, keymap);
  for (int i = 0; i < count; ++i) {
    KeyCode code = XKeysymToKeycode(x_display, keyvals[i]);
    // A letter a non-Latin layout does not type is the key at its US position.
    if (code == 0) code = static_cast<KeyCode>(key_code_us_position(virtual_key));
    if (code != 0 && (keymap[code / 8] & (1 << (code % 8)))) return true;
  }
  return false;
}

}  // namespace

void gtk_keyboard_track(int virtual_key, bool down) {
  if (virtual_key >= 0 && virtual_key < 256) reported()[static_cast<size_t>(virtual_key)] = down;
}

bool gtk_keyboard_reported_down(int virtual_key) {
  return virtual_key >= 0 && virtual_key < 256 && reported()[static_cast<size_t>(virtual_key)];
}

BOOL gtk_key_is_down(int virtual_key) {
  if (virtual_key < 0 || virtual_key >= 256) return FALSE;
  GdkDisplay* display = gdk_display_get_default();
  if (display && GDK_IS_X11_DISPLAY(display)) return x11_key_down(display, virtual_key) ? TRUE : FALSE;
  return gtk_keyboard_reported_down(virtual_key) ? TRUE : FALSE;
}
