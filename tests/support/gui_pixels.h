// Reading the pixels of bottom-up 24-bit DIB sections the way a picture is
// seen: (0, 0) is the top-left pixel.
#pragma once

#include <cstdint>

#include "platform/win32/gdi32.h"

struct DibView {
  const BYTE* bits = nullptr;
  int width = 0;
  int height = 0;
  int row_bytes = 0;
  int bits_per_pixel = 0;
};

// Empty view (bits null) when the handle is no DIB section.
DibView dib_view(HBITMAP bitmap);
// The pixel as 0x00BBGGRR.
std::uint32_t dib_pixel(const DibView& view, int x, int y);
void dib_set_pixel(const DibView& view, int x, int y, std::uint32_t colour);
