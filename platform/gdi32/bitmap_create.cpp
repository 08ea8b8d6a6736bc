// CreateDIBSection, CreateCompatibleBitmap and CreateBitmap.
#include <algorithm>
#include <cstring>

#include "platform/gdi32/bitmap.h"

namespace {

// BITMAPV5HEADER, the largest header Win32 knows.
constexpr DWORD LARGEST_HEADER_SIZE = 124;

int table_size(const BITMAPINFOHEADER& header) {
  if (header.biBitCount > 8) return 0;
  int full = 1 << header.biBitCount;
  return header.biClrUsed == 0 ? full : static_cast<int>(std::min<DWORD>(header.biClrUsed, full));
}

}  // namespace

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  // Only memory of our own: no file-mapping sections, no palette-relative colour tables
  // (formats above 8 bits have no table, so the usage does not matter to them).
  if (!info || section) return nullptr;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  if (usage != DIB_RGB_COLORS && !(usage == DIB_PAL_COLORS && header.biBitCount > 8)) return nullptr;
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > LARGEST_HEADER_SIZE || header.biPlanes != 1 || header.biCompression != BI_RGB)
    return nullptr;
  if (header.biHeight == 0 || header.biHeight == INT32_MIN) return nullptr;
  LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  Bitmap* bitmap = bitmap_allocate(header.biWidth, height, header.biBitCount, true);
  if (!bitmap) return nullptr;
  bitmap->top_down = header.biHeight < 0;
  bitmap->header = header;
  bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
  bitmap->header.biSizeImage = static_cast<DWORD>(bitmap->stride * height);
  int entries = table_size(header);
  // The colour table follows the header, whatever size the caller's header has.
  const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + header.biSize);
  bitmap->colours.assign(table, table + entries);
  for (RGBQUAD& entry : bitmap->colours) entry.rgbReserved = 0;
  if (bits) *bits = bitmap->bits;
  return reinterpret_cast<HBITMAP>(bitmap);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
  if (planes != 1) return nullptr;
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(stock_bitmap());
  if (width < 0 || height < 0) return nullptr;
  Bitmap* bitmap = bitmap_allocate(width, height, static_cast<int>(bits_per_pixel), false);
  if (!bitmap) return nullptr;
  if (bits) std::memcpy(bitmap->bits, bits, static_cast<size_t>(bitmap->stride) * height);
  return reinterpret_cast<HBITMAP>(bitmap);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  DeviceContext* context = dc_from(dc);
  if (!context) return nullptr;
  if (width == 0 || height == 0) return reinterpret_cast<HBITMAP>(stock_bitmap());
  if (width < 0 || height < 0) return nullptr;
  const Bitmap* selected = context->memory ? context->bitmap : nullptr;
  if (!selected) return reinterpret_cast<HBITMAP>(bitmap_allocate(width, height, SCREEN_BITS_PER_PIXEL, false));
  if (!selected->is_dib)
    return reinterpret_cast<HBITMAP>(bitmap_allocate(width, height, selected->bits_per_pixel, false));
  // With a DIB section selected, Win32 makes another DIB section of the same format.
  BITMAPINFOHEADER header = selected->header;
  header.biWidth = width;
  header.biHeight = selected->top_down ? -height : height;
  header.biClrUsed = static_cast<DWORD>(selected->colours.size());
  Bitmap* bitmap = bitmap_allocate(width, height, selected->bits_per_pixel, true);
  if (!bitmap) return nullptr;
  bitmap->top_down = selected->top_down;
  bitmap->header = header;
  bitmap->header.biSizeImage = static_cast<DWORD>(bitmap->stride * height);
  bitmap->colours = selected->colours;
  return reinterpret_cast<HBITMAP>(bitmap);
}
