// The GTK backend's table: clock and waiting on the GLib main context, and the
// top-level windows as GtkWindows holding a menu bar and the client area.
#include "platform/backend/gtk/gtk_backend.h"

#include <algorithm>
#include <map>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/input.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/user32.h"

namespace {

std::map<HWND, GtkTopLevel*>& top_levels() {
  static std::map<HWND, GtkTopLevel*> records;
  return records;
}

bool input_was_delivered = false;

BackendTime now() { return static_cast<BackendTime>(g_get_monotonic_time() / 1000); }

gboolean wake_up(gpointer fired) {
  *static_cast<bool*>(fired) = true;
  return G_SOURCE_REMOVE;
}

// Runs GLib until input reached user32, a callback queued a message for the
// thread (a drop's call, a posted event) or the deadline has passed.
void wait_for_input(BackendTime deadline) {
  input_was_delivered = false;
  const ULONGLONG queued_before = input_queue_serial();
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  while (!input_was_delivered && input_queue_serial() == queued_before) {
    const BackendTime current = now();
    if (current >= deadline) return;
    bool fired = false;
    guint timeout = 0;
    if (deadline != BACKEND_NO_DEADLINE)
      timeout = g_timeout_add(static_cast<guint>(std::min<BackendTime>(deadline - current, 60000)), wake_up, &fired);
    g_main_context_iteration(nullptr, TRUE);
    if (timeout && !fired) g_source_remove(timeout);
  }
}

gboolean draw_client(GtkWidget*, cairo_t* cairo, gpointer data) {
  GtkTopLevel* record = static_cast<GtkTopLevel*>(data);
  if (record->image) {
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cairo, record->image, 0, 0);
  } else {
    // Nothing presented yet (or the pixels are being replaced): a new client surface is black.
    cairo_set_source_rgb(cairo, 0, 0, 0);
  }
  cairo_paint(cairo);
  gtk_use_program_icon_after_first_frame();
  return FALSE;  // others may watch the drawing (the benchmark does)
}

void release_client_pixels(GtkTopLevel* record) {
  if (record->image) cairo_surface_destroy(record->image);
  record->image = nullptr;
  record->viewed = nullptr;
}

// user32 replaces a window's pixels when its client area outgrows them: a
// view of the old ones is let go at once. One that shrinks keeps them, and
// the view, wider or taller than the area, is clipped to it.
void forget_pixels_of_other_size(GtkTopLevel* record, int width, int height) {
  if (record->image && (width > record->image_width || height > record->image_height))
    release_client_pixels(record);
}

void size_client(GtkTopLevel* record, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  forget_pixels_of_other_size(record, width, height);
  if (width == record->client_width && height == record->client_height) return;
  record->client_width = width;
  record->client_height = height;
  gtk_widget_set_size_request(record->area, width, height);
}

const void* pixels_identity(const PixelSurface* surface) {
  return surface->bits ? static_cast<const void*>(surface->bits) : surface->device_data;
}

// Cairo draws straight from user32's pixels (B, G, R, X rows: cairo's RGB24 on
// a little-endian machine), or from the pixmap they are kept in, rather than
// from a copy of them.
bool view_client_pixels(GtkTopLevel* record, const PixelSurface* surface) {
  if (record->image && record->viewed == pixels_identity(surface) && record->image_width >= surface->width &&
      record->image_height >= surface->height)
    return true;
  release_client_pixels(record);
  cairo_surface_t* image = gtk_client_pixels_surface(surface);
  if (image) {
    image = cairo_surface_reference(image);
  } else {
    if (!surface->bits || surface->stride < cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, surface->width))
      return false;
    image = cairo_image_surface_create_for_data(surface->bits, CAIRO_FORMAT_RGB24, surface->width, surface->height,
                                                surface->stride);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(image);
      return false;
    }
  }
  record->image = image;
  record->viewed = pixels_identity(surface);
  record->image_width = surface->width;
  record->image_height = surface->height;
  return true;
}

void window_created(HWND window, const BackendWindowInfo* info) {
  auto* record = new GtkTopLevel;
  record->handle = window;
  record->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(record->window), gtk_text_utf8(info->title).c_str());
  gtk_window_set_resizable(GTK_WINDOW(record->window), FALSE);
  gtk_window_move(GTK_WINDOW(record->window), info->frame.left, info->frame.top);
  record->box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(record->window), record->box);
  record->area = gtk_drawing_area_new();
  gtk_box_pack_end(GTK_BOX(record->box), record->area, FALSE, FALSE, 0);
  g_signal_connect(record->area, "draw", G_CALLBACK(draw_client), record);
  size_client(record, info->client.right - info->client.left, info->client.bottom - info->client.top);
  if (info->style & WS_DISABLED) gtk_widget_set_sensitive(record->window, FALSE);
  gtk_top_level_add(record);
  gtk_input_connect(record);
}

void window_shown(HWND window, BOOL visible) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record) return;
  gtk_menu_bar_bring_up_to_date(record);
  if (visible) gtk_widget_show_all(record->window);
  else gtk_widget_hide(record->window);
  gtk_dialogs_raise();
}

void window_moved(HWND window, const RECT* frame, const RECT* client) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record) return;
  forget_pixels_of_other_size(record, client->right - client->left, client->bottom - client->top);
  // A minimised or maximised window is placed by the window manager.
  if (record->minimized || record->maximized) return;
  gtk_window_move(GTK_WINDOW(record->window), frame->left, frame->top);
  size_client(record, client->right - client->left, client->bottom - client->top);
}

void window_retitled(HWND window, LPCWSTR title) {
  if (GtkTopLevel* record = gtk_top_level(window))
    gtk_window_set_title(GTK_WINDOW(record->window), gtk_text_utf8(title).c_str());
}

// A disabled window takes neither input nor drops (a modal requester is open).
void window_enabled(HWND window, BOOL enabled) {
  if (GtkTopLevel* record = gtk_top_level(window)) gtk_widget_set_sensitive(record->box, enabled);
}

void window_activated(HWND window) {
  if (GtkTopLevel* record = gtk_top_level(window))
    if (gtk_widget_get_visible(record->window)) gtk_window_present(GTK_WINDOW(record->window));
  gtk_dialogs_raise();
}

void window_destroyed(HWND window) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record) return;
  gtk_top_level_remove(window);
  if (record->drag_leave_source) g_source_remove(record->drag_leave_source);
  gtk_widget_destroy(record->window);
  release_client_pixels(record);
  delete record;
}

guint menu_bars_source = 0;

gboolean bring_menu_bars_up_to_date(gpointer) {
  menu_bars_source = 0;
  for (auto& entry : top_levels()) gtk_menu_bar_bring_up_to_date(entry.second);
  return G_SOURCE_REMOVE;
}

// A program that builds its menu sets it again after every title and item
// it adds: the bar is built once, when GLib next runs (before any frame is
// drawn), or sooner where it is shown or opened.
void menu_bar_changed(HWND window, HMENU menu) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record) return;
  record->menu = menu;
  record->menu_stale = true;
  if (!menu_bars_source)
    menu_bars_source = g_idle_add_full(G_PRIORITY_HIGH_IDLE, bring_menu_bars_up_to_date, nullptr, nullptr);
}

BOOL screen_keeps_pixels() { return TRUE; }

void surface_presented(HWND window, const PixelSurface* surface, const RECT* dirty) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record || !surface || (!surface->bits && !surface->device)) return;
  size_client(record, surface->width, surface->height);
  const LONG right = std::clamp<LONG>(dirty->right, 0, surface->width);
  const LONG left = std::clamp<LONG>(dirty->left, 0, right);
  const LONG bottom = std::clamp<LONG>(dirty->bottom, 0, surface->height);
  const LONG top = std::clamp<LONG>(dirty->top, 0, bottom);
  if (left == right || top == bottom) return;
  const bool viewed_before = record->image != nullptr;
  if (!view_client_pixels(record, surface)) return;
  // A new view shows every pixel of the surface at once, not only the dirty ones.
  if (!viewed_before) {
    gtk_widget_queue_draw(record->area);
    return;
  }
  // Pixels in memory changed behind cairo's back; a pixmap was marked as its rows were written.
  if (cairo_surface_get_type(record->image) == CAIRO_SURFACE_TYPE_IMAGE)
    cairo_surface_mark_dirty_rectangle(record->image, left, top, right - left, bottom - top);
  gtk_widget_queue_draw_area(record->area, left, top, right - left, bottom - top);
}

void accept_drops(HWND window, BOOL accept) {
  if (GtkTopLevel* record = gtk_top_level(window)) gtk_drops_accept(record, accept != FALSE);
}

SIZE screen_size() {
  GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default());
  if (!monitor) monitor = gdk_display_get_monitor(gdk_display_get_default(), 0);
  if (!monitor) return SIZE{0, 0};
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  return SIZE{area.width, area.height};
}

// Measured once on a menu bar like the windows' own, before any window exists.
int menu_bar_height() {
  static int height = 0;
  if (height > 0) return height;
  GtkWidget* bar = gtk_menu_bar_new();
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_menu_item_new_with_label("File"));
  // Measured inside a window, as the real ones are styled, but never shown:
  // realizing a window only to measure its menu bar costs more than the bar.
  GtkWidget* holder = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_container_add(GTK_CONTAINER(holder), bar);
  gtk_widget_show_all(bar);
  int natural = 0;
  gtk_widget_get_preferred_height(bar, nullptr, &natural);
  gtk_widget_destroy(holder);
  height = std::max(natural, 1);
  return height;
}

const DisplayBackend GTK_BACKEND{
    .name = "gtk",
    .now = now,
    .wait_for_input = wait_for_input,
    .window_created = window_created,
    .window_shown = window_shown,
    .window_moved = window_moved,
    .window_retitled = window_retitled,
    .window_enabled = window_enabled,
    .window_activated = window_activated,
    .window_destroyed = window_destroyed,
    .menu_bar_changed = menu_bar_changed,
    .client_pixels_make = gtk_client_pixels_make,
    .client_pixels_release = gtk_client_pixels_release,
    .surface_presented = surface_presented,
    .screen_keeps_pixels = screen_keeps_pixels,
    .run_file_dialog = gtk_run_file_dialog,
    .run_message_box = gtk_run_message_box,
    .run_menu_bar = gtk_run_menu_bar,
    .accept_drops = accept_drops,
    .screen_size = screen_size,
    .menu_bar_height = menu_bar_height,
    .frame_extents = gtk_frame_extents,
    .key_is_down = gtk_key_is_down,
};

}  // namespace

GtkTopLevel* gtk_top_level(HWND window) {
  auto found = top_levels().find(window);
  return found == top_levels().end() ? nullptr : found->second;
}

void gtk_menu_bar_bring_up_to_date(GtkTopLevel* record) {
  if (!record->menu_stale) return;
  record->menu_stale = false;
  if (record->menu_bar) gtk_widget_destroy(record->menu_bar);
  record->menu_bar = gtk_menu_bar_build(record->handle, record->menu);
  if (!record->menu_bar) return;
  gtk_box_pack_start(GTK_BOX(record->box), record->menu_bar, FALSE, FALSE, 0);
  if (gtk_widget_get_visible(record->window)) gtk_widget_show_all(record->menu_bar);
}

GtkTopLevel* gtk_top_level_of_widget(GtkWidget* widget) {
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  for (auto& entry : top_levels())
    if (entry.second->window == top) return entry.second;
  return nullptr;
}

void gtk_top_level_add(GtkTopLevel* record) { top_levels()[record->handle] = record; }
void gtk_top_level_remove(HWND window) { top_levels().erase(window); }

void gtk_input_delivered() { input_was_delivered = true; }

std::string gtk_text_utf8(LPCWSTR text) { return text ? utf16_to_utf8(text) : std::string(); }
std::u16string gtk_text_utf16(const char* text) { return text ? utf8_to_utf16(text) : std::u16string(); }

const DisplayBackend* gtk_backend_open() {
  static bool opened = false;
  if (!opened) {
    gtk_display_watch_logs();
    opened = gtk_init_check(nullptr, nullptr) != FALSE;
    if (opened) gtk_display_watch_connection();
  }
  return opened ? &GTK_BACKEND : nullptr;
}
