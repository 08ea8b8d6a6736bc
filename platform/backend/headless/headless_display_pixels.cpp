// Window pixels the headless display keeps itself, as an X server keeps a
// window's pixmap: user32 draws on them only through the device's calls,
// and a present shows them from here.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/backend/headless/headless_state.h"

namespace {

// Like a 24-bit pixmap, the display keeps no fourth byte: it reads back as 0xFF.
constexpr BYTE UNKEPT = 0xFF;

struct DisplayPixels {
  LONG width;
  LONG height;
  std::vector<BYTE> bytes;  // B, G, R, X, rows top-down
};

DisplayPixels& pixels_of(void* device) { return *static_cast<DisplayPixels*>(device); }

// A request outside the pixels is a fault in the caller: a real display would
// refuse it or draw somewhere else.
void check_inside(const DisplayPixels& pixels, const RECT* area) {
  if (area->left < 0 || area->top < 0 || area->right > pixels.width || area->bottom > pixels.height ||
      area->left >= area->right || area->top >= area->bottom) {
    std::fprintf(stderr, "headless display: a drawing request for (%ld, %ld)-(%ld, %ld) outside %ld x %ld pixels\n",
                 static_cast<long>(area->left), static_cast<long>(area->top), static_cast<long>(area->right),
                 static_cast<long>(area->bottom), static_cast<long>(pixels.width), static_cast<long>(pixels.height));
    std::abort();
  }
}

// Pixels that travel between the program and the display (a fill sends none).
void count_transfer(const RECT* area) {
  const size_t moved = static_cast<size_t>(area->right - area->left) * static_cast<size_t>(area->bottom - area->top);
  headless_state().largest_display_transfer = std::max(headless_state().largest_display_transfer, moved);
  headless_state().display_pixels_moved += moved;
}

BYTE* pixel_at(DisplayPixels& pixels, LONG x, LONG y) {
  return pixels.bytes.data() + (static_cast<size_t>(y) * pixels.width + x) * 4;
}

void write(void* device, const RECT* area, const BYTE* rows, LONG stride) {
  DisplayPixels& pixels = pixels_of(device);
  check_inside(pixels, area);
  count_transfer(area);
  for (LONG y = area->top; y < area->bottom; ++y) {
    BYTE* row = pixel_at(pixels, area->left, y);
    std::memcpy(row, rows + static_cast<size_t>(y - area->top) * stride, static_cast<size_t>(area->right - area->left) * 4);
    for (LONG x = 0; x < area->right - area->left; ++x) row[x * 4 + 3] = UNKEPT;
  }
}

void read(void* device, const RECT* area, BYTE* rows, LONG stride) {
  DisplayPixels& pixels = pixels_of(device);
  check_inside(pixels, area);
  count_transfer(area);
  for (LONG y = area->top; y < area->bottom; ++y)
    std::memcpy(rows + static_cast<size_t>(y - area->top) * stride, pixel_at(pixels, area->left, y),
                static_cast<size_t>(area->right - area->left) * 4);
}

void fill(void* device, const RECT* area, COLORREF colour) {
  DisplayPixels& pixels = pixels_of(device);
  check_inside(pixels, area);
  const BYTE pixel[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), UNKEPT};
  for (LONG y = area->top; y < area->bottom; ++y)
    for (LONG x = area->left; x < area->right; ++x) std::memcpy(pixel_at(pixels, x, y), pixel, 4);
}

const SurfaceDevice DISPLAY_PIXELS{write, read, fill};

}  // namespace

void* headless_client_pixels_make(HWND, SIZE size, PixelSurface* surface) {
  if (!headless_state().display_keeps_pixels) return nullptr;
  auto* pixels = new (std::nothrow) DisplayPixels{size.cx, size.cy, {}};
  if (!pixels) return nullptr;
  pixels->bytes.assign(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 4, 0);
  for (size_t i = 3; i < pixels->bytes.size(); i += 4) pixels->bytes[i] = UNKEPT;
  *surface = PixelSurface{nullptr, size.cx, size.cy, 0, &DISPLAY_PIXELS, pixels};
  return pixels;
}

void headless_client_pixels_release(void* made) { delete static_cast<DisplayPixels*>(made); }

const BYTE* headless_display_rows(const PixelSurface* surface, LONG* stride) {
  if (surface->device != &DISPLAY_PIXELS) return nullptr;
  DisplayPixels& pixels = pixels_of(surface->device_data);
  *stride = pixels.width * 4;
  return pixels.bytes.data();
}

void headless_display_keeps_window_pixels(BOOL keep) { headless_state().display_keeps_pixels = keep != FALSE; }

size_t headless_largest_display_transfer() { return headless_state().largest_display_transfer; }

size_t headless_display_pixels_moved() { return headless_state().display_pixels_moved; }
