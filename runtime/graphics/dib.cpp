#include "runtime/graphics/dib.h"

#include <cstdint>

int dib_stride(int width, int depth) {
  std::int64_t w = width;
  std::int64_t bytes;
  switch (depth) {
    case 1: bytes = (w + 31) / 32 * 4; break;
    case 4: bytes = (w + 7) / 8 * 4; break;
    case 8: bytes = (w + 3) / 4 * 4; break;
    case 15:
    case 16: bytes = (w + 1) / 2 * 4; break;
    case 24: bytes = (3 * w + 3) / 4 * 4; break;
    default: bytes = w * 4; break;
  }
  return static_cast<int>(bytes);
}

BitmapHandle dib_create(int width, int height, int depth) {
  // A negative height would make a top-down bitmap, which no pixel routine here expects.
  if (width < 1 || height < 1) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(depth >= 24 ? depth : 24);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  DeleteDC(dc);
  return bitmap;
}
