// Client pixels in memory the display reads directly: on X11 a shared-memory
// image, so showing a frame needs neither a copy of the pixels nor cairo's
// own upload buffer of the window's size.
#include <cstring>
#include <map>

#include "platform/backend/gtk/gtk_internal.h"

namespace {

// Each surface made, by the address of its pixels.
std::map<const BYTE*, cairo_surface_t*>& made_surfaces() {
  static std::map<const BYTE*, cairo_surface_t*> table;
  return table;
}

cairo_surface_t* image_similar_to(GtkWidget* area, SIZE size) {
  gtk_widget_realize(area);
  GdkWindow* window = gtk_widget_get_window(area);
  if (!window) return nullptr;
  cairo_surface_t* image = gdk_window_create_similar_image_surface(window, CAIRO_FORMAT_RGB24, size.cx, size.cy, 1);
  if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_data(image) &&
      cairo_image_surface_get_format(image) == CAIRO_FORMAT_RGB24)
    return image;
  cairo_surface_destroy(image);
  return nullptr;
}

}  // namespace

void* gtk_client_pixels_make(HWND window, SIZE size, PixelSurface* pixels) {
  GtkTopLevel* record = gtk_top_level(window);
  if (!record || size.cx <= 0 || size.cy <= 0) return nullptr;
  cairo_surface_t* image = image_similar_to(record->area, size);
  if (!image) return nullptr;
  cairo_surface_flush(image);
  BYTE* bits = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  // A shared-memory pool hands out used memory: a new client area is black.
  std::memset(bits, 0, static_cast<size_t>(stride) * static_cast<size_t>(size.cy));
  made_surfaces()[bits] = image;
  *pixels = PixelSurface{bits, size.cx, size.cy, stride};
  return image;
}

void gtk_client_pixels_release(void* made) {
  auto* image = static_cast<cairo_surface_t*>(made);
  made_surfaces().erase(cairo_image_surface_get_data(image));
  cairo_surface_destroy(image);
}

cairo_surface_t* gtk_client_pixels_surface(const BYTE* bits) {
  auto found = made_surfaces().find(bits);
  return found == made_surfaces().end() ? nullptr : found->second;
}
