#include "gui_pixels.h"

namespace {

BYTE* pixel_address(const DibView& view, int x, int y) {
  // Row 0 in memory is the bottom line of the picture.
  const int memory_row = view.height - 1 - y;
  return const_cast<BYTE*>(view.bits) + static_cast<std::ptrdiff_t>(memory_row) * view.row_bytes +
         x * (view.bits_per_pixel / 8);
}

}  // namespace

DibView dib_view(HBITMAP bitmap) {
  DIBSECTION section{};
  if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return {};
  return DibView{static_cast<const BYTE*>(section.dsBm.bmBits), section.dsBm.bmWidth, section.dsBm.bmHeight,
                 section.dsBm.bmWidthBytes, section.dsBm.bmBitsPixel};
}

std::uint32_t dib_pixel(const DibView& view, int x, int y) {
  const BYTE* pixel = pixel_address(view, x, y);
  return pixel[2] | (pixel[1] << 8) | (static_cast<std::uint32_t>(pixel[0]) << 16);
}

void dib_set_pixel(const DibView& view, int x, int y, std::uint32_t colour) {
  BYTE* pixel = pixel_address(view, x, y);
  pixel[0] = static_cast<BYTE>(colour >> 16);
  pixel[1] = static_cast<BYTE>(colour >> 8);
  pixel[2] = static_cast<BYTE>(colour);
}
