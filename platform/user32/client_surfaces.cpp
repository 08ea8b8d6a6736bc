// The pixels of each top-level window's client area, and the window device
// contexts over them: a child window draws into its rectangle of its
// top-level window's surface.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

#include "platform/user32/user32_internal.h"

namespace {

struct WindowDc {
  HWND window;
  RECT surface_clip;
};

std::map<HDC, WindowDc>& window_dcs() {
  static std::map<HDC, WindowDc> table;
  return table;
}

}  // namespace

namespace {

// No display is larger; a client area beyond it is clipped rather than allocated.
constexpr LONG SURFACE_LIMIT = 4096;

}  // namespace

namespace {

SIZE surface_size_for(const Window* top) {
  return SIZE{std::clamp<LONG>(rect_width(top->client), 1, SURFACE_LIMIT),
              std::clamp<LONG>(rect_height(top->client), 1, SURFACE_LIMIT)};
}

bool display_pixels_fit(const PixelSurface& pixels, SIZE size) {
  if (pixels.width != size.cx || pixels.height != size.cy) return false;
  if (pixels.bits) return pixels.stride >= size.cx * 4;
  return pixels.device && pixels.device->write && pixels.device->read && pixels.device->fill;
}

// Kept by the display where it offers that (in its own memory, or in memory
// it reads with no copy on the way to the screen), else in the program's own.
std::unique_ptr<ClientSurface> surface_make(HWND window, SIZE size) {
  auto surface = std::make_unique<ClientSurface>();
  const DisplayBackend* backend = backend_current();
  if (backend->client_pixels_make && backend->client_pixels_release) {
    PixelSurface pixels{};
    if (void* made = backend->client_pixels_make(window, size, &pixels)) {
      surface->storage = std::unique_ptr<void, void (*)(void*)>(made, backend->client_pixels_release);
      if (display_pixels_fit(pixels, size)) {
        surface->pixels = pixels;
        surface->allocated = size;
        return surface;
      }
      surface->storage.reset();
    }
  }
  const size_t stride = static_cast<size_t>(size.cx) * 4;
  surface->storage = std::unique_ptr<void, void (*)(void*)>(std::calloc(static_cast<size_t>(size.cy), stride), std::free);
  if (!surface->storage) return nullptr;
  surface->pixels = PixelSurface{static_cast<BYTE*>(surface->storage.get()), size.cx, size.cy, size.cx * 4};
  surface->allocated = size;
  return surface;
}

// The root's surface, made now if nothing has needed it before; null when
// there is no memory for it.
ClientSurface* surface_in_use(Window* root) {
  if (!root->surface) root->surface = surface_make(root->handle, surface_size_for(root));
  return root->surface.get();
}

// Whether the display keeps what is presented. When nobody looks at the
// screen, window DCs draw nothing, as those of a covered window on Windows:
// the program's pictures live in its own bitmaps, and copying them to an
// unseen surface is wasted work. A display that starts keeping pixels says
// so (input_window_exposed), and the windows paint afresh.
bool screen_keeps_pixels() {
  const DisplayBackend* backend = backend_current();
  return !backend->screen_keeps_pixels || backend->screen_keeps_pixels();
}

}  // namespace

namespace {

// Blackens what lies outside the pixels in use, so that a client area grown
// again within the memory starts black, as a new surface does.
void clear_outside_use(ClientSurface* surface) {
  const PixelSurface& pixels = surface->pixels;
  if (pixels.device) {
    const RECT right{pixels.width, 0, surface->allocated.cx, pixels.height};
    const RECT below{0, pixels.height, surface->allocated.cx, surface->allocated.cy};
    if (right.left < right.right && right.top < right.bottom) pixels.device->fill(pixels.device_data, &right, 0);
    if (below.top < below.bottom) pixels.device->fill(pixels.device_data, &below, 0);
    return;
  }
  const size_t used = static_cast<size_t>(pixels.width) * 4;
  const size_t whole = static_cast<size_t>(surface->allocated.cx) * 4;
  for (LONG y = 0; y < surface->allocated.cy; ++y) {
    BYTE* row = pixels.bits + static_cast<size_t>(y) * pixels.stride;
    if (y >= pixels.height) std::memset(row, 0, whole);
    else std::memset(row + used, 0, whole - used);
  }
}

// Copies the top-left `width` x `rows` pixels from one surface to another,
// through a row of memory where either lies with the display.
void copy_corner(const PixelSurface& from, const PixelSurface& to, LONG width, LONG rows) {
  const size_t bytes = static_cast<size_t>(width) * 4;
  std::unique_ptr<BYTE[]> row_memory;
  if (from.device || to.device) {
    row_memory.reset(new (std::nothrow) BYTE[bytes]);
    if (!row_memory) return;
  }
  for (LONG y = 0; y < rows; ++y) {
    const RECT row{0, y, width, y + 1};
    const BYTE* in = from.bits ? from.bits + static_cast<size_t>(y) * from.stride : row_memory.get();
    if (!from.bits) from.device->read(from.device_data, &row, row_memory.get(), static_cast<LONG>(bytes));
    if (to.bits) std::memcpy(to.bits + static_cast<size_t>(y) * to.stride, in, bytes);
    else to.device->write(to.device_data, &row, in, static_cast<LONG>(bytes));
  }
}

}  // namespace

void paint_surface_fit(Window* top) {
  if (!top->surface) return;
  const SIZE size = surface_size_for(top);
  if (top->surface->pixels.width == size.cx && top->surface->pixels.height == size.cy) return;
  // A client area that shrinks (the menu bar that comes after the window
  // shows) keeps its memory: the pixels in use stay where they are.
  if (size.cx <= top->surface->allocated.cx && size.cy <= top->surface->allocated.cy) {
    top->surface->pixels.width = size.cx;
    top->surface->pixels.height = size.cy;
    clear_outside_use(top->surface.get());
    return;
  }
  std::unique_ptr<ClientSurface> surface = surface_make(top->handle, size);
  if (!surface) return;  // the old picture stays, clipped to what it covers
  // What fits of the old picture stays in the top-left corner.
  const PixelSurface& old = top->surface->pixels;
  copy_corner(old, surface->pixels, std::min(old.width, size.cx), std::min(old.height, size.cy));
  top->surface = std::move(surface);
}

RECT paint_client_clip(const Window* window) {
  POINT origin = window_client_origin_in_root(window);
  RECT clip = rect_make(origin.x, origin.y, origin.x + rect_width(window->client), origin.y + rect_height(window->client));
  for (const Window* ancestor = window_from(window->parent); ancestor; ancestor = window_from(ancestor->parent)) {
    POINT at = window_client_origin_in_root(ancestor);
    clip = rect_intersection(clip, rect_make(at.x, at.y, at.x + rect_width(ancestor->client),
                                             at.y + rect_height(ancestor->client)));
  }
  const Window* root = window;
  while (root->parent) root = window_from(root->parent);
  // Before its first use the surface is as large as it will be made.
  const SIZE size = root->surface ? SIZE{root->surface->pixels.width, root->surface->pixels.height}
                                  : surface_size_for(root);
  return rect_intersection(clip, rect_make(0, 0, size.cx, size.cy));
}

// A DC for the window's client area, limited to `client_area` (client coordinates) if given.
HDC paint_window_dc(Window* window, const RECT* client_area) {
  Window* root = window_root(window);
  if (!root || !surface_in_use(root)) return nullptr;
  POINT origin = window_client_origin_in_root(window);
  RECT clip = paint_client_clip(window);
  if (client_area) clip = rect_intersection(clip, rect_offset(*client_area, origin.x, origin.y));
  // Presents are still reported for the clip; only the drawing is skipped.
  const RECT drawn = screen_keeps_pixels() ? clip : RECT{0, 0, 0, 0};
  HDC dc = gdi_create_surface_dc(&root->surface->pixels, origin, drawn);
  if (dc) window_dcs()[dc] = WindowDc{window->handle, clip};
  return dc;
}

// Releases a window DC; false if it is not one.
bool paint_release_window_dc(HDC dc, HWND* window, RECT* surface_clip) {
  auto found = window_dcs().find(dc);
  if (found == window_dcs().end()) return false;
  if (window) *window = found->second.window;
  if (surface_clip) *surface_clip = found->second.surface_clip;
  window_dcs().erase(found);
  gdi_release_surface_dc(dc);
  return true;
}

void paint_present_surface_rect(Window* root, const RECT& surface_rect) {
  if (!root || !root->surface || rect_is_empty(surface_rect)) return;
  backend_current()->surface_presented(root->handle, &root->surface->pixels, &surface_rect);
}

HDC GetDC(HWND handle) {
  Window* window = window_from(handle);
  if (!window) return nullptr;
  return paint_window_dc(window, nullptr);
}

int ReleaseDC(HWND, HDC dc) {
  HWND owner = nullptr;
  RECT clip{};
  if (!paint_release_window_dc(dc, &owner, &clip)) return 0;
  // What was drawn through the DC reaches the screen now.
  if (Window* window = window_from(owner)) paint_present_surface_rect(window_root(window), clip);
  return 1;
}
