// What the GTK backend's parts share: one record per top-level window, the
// text conversions at the GTK boundary and the modal-loop helpers.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/backend/backend.h"

struct GtkTopLevel {
  HWND handle = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* box = nullptr;
  GtkWidget* menu_bar = nullptr;    // null while the window has no menu
  HMENU menu = nullptr;             // the menu the bar shows, once built
  bool menu_stale = false;          // the menu changed since the bar was built
  GtkWidget* area = nullptr;        // the client area, exactly the client size
  cairo_surface_t* image = nullptr; // a view of user32's client pixels, once presented
  const void* viewed = nullptr;     // the pixels it shows (their address, or the device's)
  int image_width = 0;
  int image_height = 0;
  int client_width = 0;
  int client_height = 0;
  bool minimized = false;
  bool maximized = false;
  // The menu bar's modal loop (run_menu_bar): running, the menu still open,
  // and the id chosen in it (-1: none yet).
  bool menu_loop_running = false;
  bool menu_open = false;
  int menu_choice = -1;
  // A drag from another program over the client area.
  bool drag_entered = false;
  bool drag_requested = false;
  guint drag_leave_source = 0;
  POINT drag_point{0, 0};
};

// The record of `window`, or null.
GtkTopLevel* gtk_top_level(HWND window);
GtkTopLevel* gtk_top_level_of_widget(GtkWidget* widget);
// Builds the window's menu bar again if its menu changed since it was built.
void gtk_menu_bar_bring_up_to_date(GtkTopLevel* record);
void gtk_top_level_add(GtkTopLevel* record);
void gtk_top_level_remove(HWND window);

// UTF-16 <-> UTF-8 at the GTK boundary.
std::string gtk_text_utf8(LPCWSTR text);
std::u16string gtk_text_utf16(const char* text);

// Watches GDK's messages (before the display opens) and the display's
// connection (once it is open).
void gtk_display_watch_logs();
void gtk_display_watch_connection();
// While set, GTK's notice that a menu popped up without a triggering event is
// not printed (the keyboard's menu opens outside GTK's event handling).
void gtk_log_opening_menu_for_keyboard(bool opening);

// The window manager's frame around top-level windows of this style.
BOOL gtk_frame_extents(DWORD style, DWORD ex_style, RECT* extents);

// Top-level windows take the icon of the program's name from the icon theme,
// once a first frame was drawn (called from every draw).
void gtk_use_program_icon_after_first_frame();

// user32's client pixels kept by the display (the backend's
// client_pixels_make and client_pixels_release), and the cairo surface that
// holds `pixels` if they were made so.
void* gtk_client_pixels_make(HWND window, SIZE size, PixelSurface* pixels);
void gtk_client_pixels_release(void* made);
cairo_surface_t* gtk_client_pixels_surface(const PixelSurface* pixels);

// Input was handed to user32: ends the current wait for input.
void gtk_input_delivered();

// Input signals of a top-level window (keys, mouse, close, focus, state).
void gtk_input_connect(GtkTopLevel* record);
// The menu bar built from `menu`, with its items' shortcut texts; null if none.
GtkWidget* gtk_menu_bar_build(HWND window, HMENU menu);
// Drops of file lists from other programs on the client area.
void gtk_drops_accept(GtkTopLevel* record, bool accept);

// The keyboard: what was reported to user32, and the state right now.
void gtk_keyboard_track(int virtual_key, bool down);
bool gtk_keyboard_reported_down(int virtual_key);
BOOL gtk_key_is_down(int virtual_key);

// Keeps user32's timers and messages going while GTK runs a modal loop, for
// as long as it lives.
class GtkModalPump {
 public:
  GtkModalPump();
  ~GtkModalPump();
  GtkModalPump(const GtkModalPump&) = delete;
  GtkModalPump& operator=(const GtkModalPump&) = delete;

 private:
  void arm();
  static gboolean fire(gpointer data);
  guint source_ = 0;
};

// Puts the open dialogs back above the windows behind them, as owned windows
// stay above their owners (a window manager does that, but none may run).
void gtk_dialogs_raise();
BackendDialogResult gtk_run_file_dialog(BackendFileDialog* request);
int gtk_run_menu_bar(HWND window, BOOL by_keyboard);
int gtk_run_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
