// GetDIBits: a bitmap's pixels as a 24- or 32-bit DIB, bottom-up or top-down.
#include <algorithm>
#include <cstring>

#include "platform/gdi32/bitmap.h"

namespace {

void describe(const Bitmap& bitmap, BITMAPINFOHEADER* header) {
  header->biWidth = bitmap.width;
  header->biHeight = bitmap.height;
  header->biPlanes = 1;
  header->biBitCount = bitmap.bits_per_pixel;
  header->biCompression = BI_RGB;
  header->biSizeImage = static_cast<DWORD>(dib_row_bytes(bitmap.width, bitmap.bits_per_pixel) * bitmap.height);
}

}  // namespace

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  const Bitmap* bitmap = bitmap_from(handle);
  if (!bitmap || !info || usage != DIB_RGB_COLORS || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biBitCount == 0) {
    if (bits) return 0;
    describe(*bitmap, &header);
    return bitmap->height;
  }
  if ((header.biBitCount != 24 && header.biBitCount != 32) || header.biCompression != BI_RGB) return 0;
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return 0;
  LONG out_height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  LONG out_stride = dib_row_bytes(header.biWidth, header.biBitCount);
  header.biSizeImage = static_cast<DWORD>(std::int64_t{out_stride} * out_height);
  if (!bits) return out_height;
  bool bottom_up = header.biHeight > 0;
  // Scan lines count from the bottom of a bottom-up DIB and from the top of a top-down one.
  std::int64_t end = std::min<std::int64_t>(std::int64_t{start} + lines, std::min(out_height, bitmap->height));
  if (end <= static_cast<std::int64_t>(start)) return 0;
  PixelView source = bitmap_view(*bitmap);
  LONG width = std::min(header.biWidth, bitmap->width);
  int size = header.biBitCount / 8;
  for (std::int64_t line = start; line < end; ++line) {
    LONG picture_y = static_cast<LONG>(bottom_up ? bitmap->height - 1 - line : line);
    BYTE* row = static_cast<BYTE*>(bits) + (line - start) * out_stride;
    std::memset(row, 0, out_stride);
    if (size == 4 && source.bits_per_pixel == 32) {
      std::memcpy(row, pixel_row(source, picture_y), static_cast<size_t>(width) * 4);
      continue;
    }
    for (LONG x = 0; x < width; ++x) {
      COLORREF colour = pixel_read(source, x, picture_y);
      row[x * size] = GetBValue(colour);
      row[x * size + 1] = GetGValue(colour);
      row[x * size + 2] = GetRValue(colour);
    }
  }
  return static_cast<int>(end - start);
}
