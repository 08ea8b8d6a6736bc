// A DIB section selected into a memory DC of its own, released in reverse
// order when the object goes.
#pragma once

#include "support/gdi_bitmaps.h"

struct DibInDc {
  DibInDc(int width, int height, int bits_per_pixel, const RGBQUAD* colours = nullptr, int colour_count = 0)
      : bitmap(make_dib(width, height, bits_per_pixel, &bits, colours, colour_count)),
        dc(CreateCompatibleDC(nullptr)),
        previous(SelectObject(dc, bitmap)) {}
  ~DibInDc() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  DibInDc(const DibInDc&) = delete;
  DibInDc& operator=(const DibInDc&) = delete;

  BYTE* bits = nullptr;
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ previous;
};
