#include "support/gdi_bitmaps.h"

#include <vector>

HBITMAP make_dib(int width, int height, int bits_per_pixel, BYTE** bits, const RGBQUAD* colours, int colour_count) {
  std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = width;
  info->bmiHeader.biHeight = height;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = static_cast<WORD>(bits_per_pixel);
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biClrUsed = static_cast<DWORD>(colour_count);
  auto* table = reinterpret_cast<RGBQUAD*>(storage.data() + sizeof(BITMAPINFOHEADER));
  for (int i = 0; i < colour_count && i < 256; ++i) table[i] = colours[i];
  void* memory = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &memory, nullptr, 0);
  if (bits) *bits = static_cast<BYTE*>(memory);
  return bitmap;
}
