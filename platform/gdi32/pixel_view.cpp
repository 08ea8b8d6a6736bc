#include "platform/gdi32/pixel_view.h"

#include <cstring>

namespace {

COLORREF colour_of(const RGBQUAD& entry) { return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue); }

int distance(const RGBQUAD& entry, COLORREF colour) {
  int red = entry.rgbRed - GetRValue(colour);
  int green = entry.rgbGreen - GetGValue(colour);
  int blue = entry.rgbBlue - GetBValue(colour);
  return red * red + green * green + blue * blue;
}

int nearest_index(const PixelView& view, COLORREF colour) {
  int best = 0;
  for (int i = 1; i < view.colour_count; ++i)
    if (distance(view.colours[i], colour) < distance(view.colours[best], colour)) best = i;
  return best;
}

// 5-bit channel widened to 8 bits, so that 31 reads back as 255.
BYTE widen5(unsigned value) { return static_cast<BYTE>((value << 3) | (value >> 2)); }

int read_index(const BYTE* row, LONG x, int bits_per_pixel) {
  int per_byte = 8 / bits_per_pixel;
  int shift = (per_byte - 1 - x % per_byte) * bits_per_pixel;
  return (row[x / per_byte] >> shift) & ((1 << bits_per_pixel) - 1);
}

void write_index(BYTE* row, LONG x, int bits_per_pixel, int index) {
  int per_byte = 8 / bits_per_pixel;
  int shift = (per_byte - 1 - x % per_byte) * bits_per_pixel;
  int mask = ((1 << bits_per_pixel) - 1) << shift;
  row[x / per_byte] = static_cast<BYTE>((row[x / per_byte] & ~mask) | ((index << shift) & mask));
}

}  // namespace

BYTE* pixel_row(const PixelView& view, LONG y) {
  LONG row = view.bottom_up ? view.height - 1 - y : y;
  return view.bits + static_cast<std::ptrdiff_t>(row) * view.stride;
}

COLORREF pixel_read(const PixelView& view, LONG x, LONG y) {
  const BYTE* row = pixel_row(view, y);
  switch (view.bits_per_pixel) {
    case 32:
    case 24: {
      const BYTE* pixel = row + x * (view.bits_per_pixel / 8);
      return RGB(pixel[2], pixel[1], pixel[0]);
    }
    case 16: {
      unsigned value = row[2 * x] | (row[2 * x + 1] << 8);
      return RGB(widen5((value >> 10) & 31), widen5((value >> 5) & 31), widen5(value & 31));
    }
    default: {
      int index = read_index(row, x, view.bits_per_pixel);
      return index < view.colour_count ? colour_of(view.colours[index]) : 0;
    }
  }
}

void pixel_write(const PixelView& view, LONG x, LONG y, COLORREF colour) {
  BYTE* row = pixel_row(view, y);
  switch (view.bits_per_pixel) {
    case 32:
      row[4 * x + 3] = 0;
      [[fallthrough]];
    case 24: {
      BYTE* pixel = row + x * (view.bits_per_pixel / 8);
      pixel[0] = GetBValue(colour);
      pixel[1] = GetGValue(colour);
      pixel[2] = GetRValue(colour);
      return;
    }
    case 16: {
      unsigned value = ((GetRValue(colour) >> 3) << 10) | ((GetGValue(colour) >> 3) << 5) | (GetBValue(colour) >> 3);
      row[2 * x] = static_cast<BYTE>(value);
      row[2 * x + 1] = static_cast<BYTE>(value >> 8);
      return;
    }
    default:
      write_index(row, x, view.bits_per_pixel, nearest_index(view, colour));
  }
}

// The first row pixel by pixel, every other row a copy of it: filling a window or a
// canvas is a few hundred row copies rather than a call per pixel.
void pixel_fill(const PixelView& view, const RECT& area, COLORREF colour) {
  if (area.left >= area.right || area.top >= area.bottom) return;
  if (view.bits_per_pixel != 32 && view.bits_per_pixel != 24) {
    for (LONG y = area.top; y < area.bottom; ++y)
      for (LONG x = area.left; x < area.right; ++x) pixel_write(view, x, y, colour);
    return;
  }
  const std::ptrdiff_t size = view.bits_per_pixel / 8;
  const std::size_t row_bytes = static_cast<std::size_t>(area.right - area.left) * size;
  const BYTE pixel[4] = {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
  BYTE* first = pixel_row(view, area.top) + area.left * size;
  for (BYTE* cursor = first; cursor < first + row_bytes; cursor += size) std::memcpy(cursor, pixel, size);
  for (LONG y = area.top + 1; y < area.bottom; ++y) std::memcpy(pixel_row(view, y) + area.left * size, first, row_bytes);
}
