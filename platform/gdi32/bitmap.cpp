// Bitmap creation and layout.
#include "platform/gdi32/bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Win32 refuses bitmaps whose pixel memory does not fit a DWORD-sized image size; we stop at 2 GiB.
constexpr std::int64_t MAX_BITMAP_BYTES = 0x7FFFFFFF;

bool valid_depth(int bits_per_pixel) {
  switch (bits_per_pixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
  }
}

std::int64_t padded_row_bytes(LONG width, int bits_per_pixel, int alignment_bits) {
  std::int64_t bits = static_cast<std::int64_t>(width) * bits_per_pixel;
  return (bits + alignment_bits - 1) / alignment_bits * (alignment_bits / 8);
}

}  // namespace

Bitmap::~Bitmap() { std::free(bits); }

LONG dib_row_bytes(LONG width, int bits_per_pixel) {
  return static_cast<LONG>(padded_row_bytes(width, bits_per_pixel, 32));
}

LONG ddb_row_bytes(LONG width, int bits_per_pixel) {
  return static_cast<LONG>(padded_row_bytes(width, bits_per_pixel, 16));
}

Bitmap* bitmap_allocate(LONG width, LONG height, int bits_per_pixel, bool is_dib) {
  if (width <= 0 || height <= 0 || !valid_depth(bits_per_pixel)) return nullptr;
  std::int64_t stride = padded_row_bytes(width, bits_per_pixel, is_dib ? 32 : 16);
  if (stride * height > MAX_BITMAP_BYTES) return nullptr;
  BYTE* bits = static_cast<BYTE*>(std::calloc(static_cast<size_t>(stride * height), 1));
  if (!bits) return nullptr;
  Bitmap* bitmap = new (std::nothrow) Bitmap;
  if (!bitmap) {
    std::free(bits);
    return nullptr;
  }
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bits_per_pixel = static_cast<WORD>(bits_per_pixel);
  bitmap->stride = static_cast<LONG>(stride);
  bitmap->is_dib = is_dib;
  bitmap->top_down = !is_dib;
  bitmap->bits = bits;
  if (bits_per_pixel == 1) bitmap->colours = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  gdi_register(bitmap);
  return bitmap;
}

PixelView bitmap_view(const Bitmap& bitmap) {
  PixelView view;
  view.bits = bitmap.bits;
  view.width = bitmap.width;
  view.height = bitmap.height;
  view.stride = bitmap.stride;
  view.bits_per_pixel = bitmap.bits_per_pixel;
  view.bottom_up = !bitmap.top_down;
  view.colours = bitmap.colours.data();
  view.colour_count = static_cast<int>(bitmap.colours.size());
  return view;
}

Bitmap* stock_bitmap() {
  static Bitmap* bitmap = [] {
    Bitmap* made = bitmap_allocate(1, 1, 1, false);
    made->stock = true;
    return made;
  }();
  return bitmap;
}
