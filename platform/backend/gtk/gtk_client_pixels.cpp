// Client pixels the display keeps. On X11 they are a pixmap in the X server:
// user32 draws on it a band of rows at a time (the SurfaceDevice calls) and a
// frame is a copy inside the server, so the program holds no copy of a
// window's pixels. Where the display offers no such surface (Wayland),
// memory cairo reads directly, with no copy on the way to the screen.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <cstring>
#include <map>
#include <new>

#include "platform/backend/gtk/gtk_internal.h"

namespace {

// Each image made, by the address of its pixels.
std::map<const BYTE*, cairo_surface_t*>& made_images() {
  static std::map<const BYTE*, cairo_surface_t*> table;
  return table;
}

// What client_pixels_release is given back: a pixmap of the X server (the
// device's data), or an image in memory.
struct MadePixels {
  cairo_surface_t* surface;
  bool on_server;
  GC context = nullptr;  // for writing rows into the pixmap
};

cairo_surface_t* pixels_of(void* device) { return static_cast<MadePixels*>(device)->surface; }

// Rows of B, G, R, X pixels are cairo's RGB24 on a little-endian machine.
cairo_surface_t* rows_as_image(const BYTE* pixels, const RECT* area, LONG stride) {
  return cairo_image_surface_create_for_data(const_cast<BYTE*>(pixels), CAIRO_FORMAT_RGB24, area->right - area->left,
                                             area->bottom - area->top, stride);
}

// Straight to the X server: cairo would first copy the rows into a pixmap
// of their own (and a shared-memory pool) and then composite them.
void device_write(void* device, const RECT* area, const BYTE* pixels, LONG stride) {
  auto* made = static_cast<MadePixels*>(device);
  cairo_surface_t* surface = made->surface;
  cairo_surface_flush(surface);
  Display* display = cairo_xlib_surface_get_display(surface);
  XImage rows{};
  rows.width = area->right - area->left;
  rows.height = area->bottom - area->top;
  rows.format = ZPixmap;
  rows.data = reinterpret_cast<char*>(const_cast<BYTE*>(pixels));
  rows.byte_order = LSBFirst;  // the bytes B, G, R, X are 0xXXRRGGBB read from the lowest
  rows.bitmap_unit = 32;
  rows.bitmap_bit_order = LSBFirst;
  rows.bitmap_pad = 32;
  rows.depth = 24;
  rows.bytes_per_line = stride;
  rows.bits_per_pixel = 32;
  rows.red_mask = 0xFF0000;
  rows.green_mask = 0x00FF00;
  rows.blue_mask = 0x0000FF;
  if (!XInitImage(&rows)) return;
  XPutImage(display, cairo_xlib_surface_get_drawable(surface), made->context, &rows, 0, 0, area->left, area->top,
            static_cast<unsigned>(rows.width), static_cast<unsigned>(rows.height));
  cairo_surface_mark_dirty_rectangle(surface, area->left, area->top, rows.width, rows.height);
}

void device_read(void* device, const RECT* area, BYTE* pixels, LONG stride) {
  cairo_surface_t* rows = rows_as_image(pixels, area, stride);
  cairo_t* cairo = cairo_create(rows);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo, pixels_of(device), -area->left, -area->top);
  cairo_paint(cairo);
  cairo_destroy(cairo);
  cairo_surface_flush(rows);
  cairo_surface_destroy(rows);
}

// Eight-bit channels go through cairo's sixteen bits exactly (c / 255 -> c * 257 -> c).
void device_fill(void* device, const RECT* area, COLORREF colour) {
  cairo_t* cairo = cairo_create(pixels_of(device));
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cairo, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
  cairo_rectangle(cairo, area->left, area->top, area->right - area->left, area->bottom - area->top);
  cairo_fill(cairo);
  cairo_destroy(cairo);
}

const SurfaceDevice SERVER_PIXELS{device_write, device_read, device_fill};

GdkWindow* area_window(GtkWidget* area) {
  gtk_widget_realize(area);
  return gtk_widget_get_window(area);
}

// Whether the pixmap holds 24-bit pixels 0x00RRGGBB, as the rows written into it are.
bool takes_rows_as_they_are(cairo_surface_t* surface) {
  if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_XLIB || cairo_xlib_surface_get_depth(surface) != 24)
    return false;
  const Visual* visual = cairo_xlib_surface_get_visual(surface);
  return visual && visual->red_mask == 0xFF0000 && visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
}

// A pixmap of the X server, black; null where the display keeps no pixels of its own.
cairo_surface_t* server_pixels(GdkWindow* window, SIZE size) {
  cairo_surface_t* surface = gdk_window_create_similar_surface(window, CAIRO_CONTENT_COLOR, size.cx, size.cy);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || !takes_rows_as_they_are(surface)) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cairo = cairo_create(surface);
  cairo_set_source_rgb(cairo, 0, 0, 0);
  cairo_paint(cairo);
  cairo_destroy(cairo);
  return surface;
}

cairo_surface_t* image_similar_to(GdkWindow* window, SIZE size) {
  cairo_surface_t* image = gdk_window_create_similar_image_surface(window, CAIRO_FORMAT_RGB24, size.cx, size.cy, 1);
  if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_data(image) &&
      cairo_image_surface_get_format(image) == CAIRO_FORMAT_RGB24)
    return image;
  cairo_surface_destroy(image);
  return nullptr;
}

// The pixmap with what writing rows into it needs; null where there is none.
MadePixels* made_on_server(GdkWindow* window, SIZE size, PixelSurface* pixels) {
  cairo_surface_t* server = server_pixels(window, size);
  if (!server) return nullptr;
  auto* made = new (std::nothrow) MadePixels{server, true};
  if (made)
    made->context = XCreateGC(cairo_xlib_surface_get_display(server), cairo_xlib_surface_get_drawable(server), 0, nullptr);
  if (!made || !made->context) {
    cairo_surface_destroy(server);
    delete made;
    return nullptr;
  }
  *pixels = PixelSurface{nullptr, size.cx, size.cy, 0, &SERVER_PIXELS, made};
  return made;
}

}  // namespace

void* gtk_client_pixels_make(HWND window, SIZE size, PixelSurface* pixels) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record || size.cx <= 0 || size.cy <= 0) return nullptr;
  GdkWindow* target = area_window(record->area);
  if (!target) return nullptr;
  if (MadePixels* made = made_on_server(target, size, pixels)) return made;
  cairo_surface_t* image = image_similar_to(target, size);
  if (!image) return nullptr;
  auto* made = new (std::nothrow) MadePixels{image, false};
  if (!made) {
    cairo_surface_destroy(image);
    return nullptr;
  }
  cairo_surface_flush(image);
  BYTE* bits = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  // A shared-memory pool hands out used memory: a new client area is black.
  std::memset(bits, 0, static_cast<size_t>(stride) * static_cast<size_t>(size.cy));
  made_images()[bits] = image;
  *pixels = PixelSurface{bits, size.cx, size.cy, stride};
  return made;
}

void gtk_client_pixels_release(void* released) {
  auto* made = static_cast<MadePixels*>(released);
  if (!made->on_server) made_images().erase(cairo_image_surface_get_data(made->surface));
  if (made->context) XFreeGC(cairo_xlib_surface_get_display(made->surface), made->context);
  cairo_surface_destroy(made->surface);
  delete made;
}

cairo_surface_t* gtk_client_pixels_surface(const PixelSurface* pixels) {
  if (pixels->device == &SERVER_PIXELS) return pixels_of(pixels->device_data);
  auto found = made_images().find(pixels->bits);
  return found == made_images().end() ? nullptr : found->second;
}
