// What the user does to a top-level window, reported to user32: keys as
// virtual-key codes, the mouse in client coordinates, the close box, focus,
// and the window manager's minimise, maximise and restore.
#include <cmath>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/gtk/key_codes.h"
#include "platform/backend/input.h"
#include "platform/win32/user32.h"

namespace {

struct ModifierMask {
  GdkModifierType mask;
  int virtual_key;
};
constexpr ModifierMask MODIFIERS[] = {
    {GDK_SHIFT_MASK, VK_SHIFT}, {GDK_CONTROL_MASK, VK_CONTROL}, {GDK_MOD1_MASK, VK_MENU}};

void report_key(HWND window, int virtual_key, bool down) {
  gtk_keyboard_track(virtual_key, down);
  input_key(window, static_cast<UINT>(virtual_key), down ? TRUE : FALSE);
  gtk_input_delivered();
}

// A modifier pressed while another window had the focus is reported before
// the key it modifies; one released elsewhere is let go.
void sync_modifiers(HWND window, guint state, int except) {
  for (const ModifierMask& modifier : MODIFIERS) {
    if (modifier.virtual_key == except) continue;
    const bool held = (state & modifier.mask) != 0;
    if (held != gtk_keyboard_reported_down(modifier.virtual_key)) report_key(window, modifier.virtual_key, held);
  }
}

gboolean on_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  GdkKeymap* keymap = gdk_keymap_get_for_display(gtk_widget_get_display(record->window));
  const int virtual_key = key_code_from_event(keymap, event->keyval, event->hardware_keycode);
  if (virtual_key == 0) return TRUE;
  const bool down = event->type == GDK_KEY_PRESS;
  sync_modifiers(record->handle, event->state, virtual_key);
  report_key(record->handle, virtual_key, down);
  return TRUE;  // user32 does the shortcuts; GTK must not see the keys
}

POINT point_of(double x, double y) {
  return POINT{static_cast<LONG>(std::floor(x)), static_cast<LONG>(std::floor(y))};
}

gboolean on_motion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  input_mouse_move(static_cast<GtkTopLevel*>(data)->handle, point_of(event->x, event->y));
  gtk_input_delivered();
  return TRUE;
}

gboolean on_button(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE) return TRUE;  // user32 counts double clicks
  InputButton button;
  switch (event->button) {
    case 1: button = INPUT_BUTTON_LEFT; break;
    case 2: button = INPUT_BUTTON_MIDDLE; break;
    case 3: button = INPUT_BUTTON_RIGHT; break;
    default: return TRUE;
  }
  input_mouse_button(static_cast<GtkTopLevel*>(data)->handle, button, event->type == GDK_BUTTON_PRESS ? TRUE : FALSE,
                     point_of(event->x, event->y));
  gtk_input_delivered();
  return TRUE;
}

gboolean on_scroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  int delta = 0;
  if (event->direction == GDK_SCROLL_UP) delta = WHEEL_DELTA;
  else if (event->direction == GDK_SCROLL_DOWN) delta = -WHEEL_DELTA;
  else if (event->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(std::lround(-event->delta_y * WHEEL_DELTA));
  if (delta == 0) return TRUE;
  input_mouse_wheel(static_cast<GtkTopLevel*>(data)->handle, point_of(event->x, event->y), delta);
  gtk_input_delivered();
  return TRUE;
}

gboolean on_leave(GtkWidget*, GdkEventCrossing*, gpointer data) {
  input_mouse_left(static_cast<GtkTopLevel*>(data)->handle);
  gtk_input_delivered();
  return FALSE;
}

gboolean on_close(GtkWidget*, GdkEvent*, gpointer data) {
  input_close_request(static_cast<GtkTopLevel*>(data)->handle);
  gtk_input_delivered();
  return TRUE;  // user32 decides whether the window goes
}

gboolean on_focus(GtkWidget*, GdkEventFocus* event, gpointer data) {
  input_window_activated(static_cast<GtkTopLevel*>(data)->handle, event->in ? TRUE : FALSE);
  gtk_input_delivered();
  return FALSE;
}

gboolean on_window_state(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  const GdkWindowState state = event->new_window_state;
  record->minimized = (state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  record->maximized = (state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
  if (!(event->changed_mask & (GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED))) return FALSE;
  input_window_state(record->handle, record->minimized   ? INPUT_WINDOW_MINIMIZED
                                     : record->maximized ? INPUT_WINDOW_MAXIMIZED
                                                         : INPUT_WINDOW_RESTORED);
  gtk_input_delivered();
  return FALSE;
}

}  // namespace

void gtk_input_connect(GtkTopLevel* record) {
  gtk_widget_add_events(record->area, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                          GDK_SCROLL_MASK | GDK_LEAVE_NOTIFY_MASK);
  g_signal_connect(record->window, "key-press-event", G_CALLBACK(on_key), record);
  g_signal_connect(record->window, "key-release-event", G_CALLBACK(on_key), record);
  g_signal_connect(record->area, "motion-notify-event", G_CALLBACK(on_motion), record);
  g_signal_connect(record->area, "button-press-event", G_CALLBACK(on_button), record);
  g_signal_connect(record->area, "button-release-event", G_CALLBACK(on_button), record);
  g_signal_connect(record->area, "scroll-event", G_CALLBACK(on_scroll), record);
  g_signal_connect(record->area, "leave-notify-event", G_CALLBACK(on_leave), record);
  g_signal_connect(record->window, "delete-event", G_CALLBACK(on_close), record);
  g_signal_connect(record->window, "focus-in-event", G_CALLBACK(on_focus), record);
  g_signal_connect(record->window, "focus-out-event", G_CALLBACK(on_focus), record);
  g_signal_connect(record->window, "window-state-event", G_CALLBACK(on_window_state), record);
}
