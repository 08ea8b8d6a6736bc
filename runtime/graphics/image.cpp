#include "runtime/graphics/image.h"

namespace {

constexpr std::int32_t IMAGE_REGISTRY_GROWTH = 16;
ObjectRegistry* registry = nullptr;

std::uint32_t opaque_or_clear(std::int32_t background) {
  if (background == -1) return 0;
  return static_cast<std::uint32_t>(background) | 0xFF000000u;
}

// Red and blue change places, so that the bytes in memory read B, G, R, A.
std::uint32_t bgra_pixel(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | ((colour >> 16) & 0xFF) | (colour & 0xFF00FF00u);
}

void fill_pixels_32(const BITMAP& info, std::uint32_t colour) {
  std::uint32_t pixel = bgra_pixel(colour);
  BYTE bytes[4] = {static_cast<BYTE>(pixel), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel >> 16),
                   static_cast<BYTE>(pixel >> 24)};
  int stride = dib_stride(info.bmWidth, info.bmBitsPixel);
  for (LONG y = 0; y < info.bmHeight; ++y) {
    BYTE* row = static_cast<BYTE*>(info.bmBits) + static_cast<std::ptrdiff_t>(y) * stride;
    for (LONG x = 0; x < info.bmWidth; ++x)
      for (int i = 0; i < 4; ++i) row[4 * x + i] = bytes[i];
  }
}

void fill_with_brush(HBITMAP bitmap, const BITMAP& info, std::uint32_t colour) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;
  HGDIOBJ previous = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT area{0, 0, info.bmWidth, info.bmHeight};
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  SelectObject(dc, previous);
  DeleteDC(dc);
}

}  // namespace

bool image_library_init() {
  // ImageObject's own size: the record holds a 64-bit handle here.
  registry = registry_create(sizeof(ImageObject), IMAGE_REGISTRY_GROWTH, [](ObjectId id) { image_free(id); });
  return registry != nullptr;
}

ObjectRegistry* image_registry() { return registry; }

ImageObject* image_lookup(ObjectId id) { return static_cast<ImageObject*>(object_lookup(registry, id)); }

std::intptr_t image_create(ObjectId number, int width, int height, int depth, std::int32_t background) {
  std::uint32_t colour = static_cast<std::uint32_t>(background);
  if (depth == 32) colour = opaque_or_clear(background);
  auto* record = static_cast<ImageObject*>(object_allocate(registry, number));
  if (!record) return 0;
  // The record's 16-bit fields cannot describe a larger picture.
  BitmapHandle bitmap =
      width <= IMAGE_SIZE_LIMIT && height <= IMAGE_SIZE_LIMIT ? dib_create(width, height, depth) : nullptr;
  if (!bitmap) {
    // A numbered slot stays, zeroed; a dynamic record nobody can name would only leak.
    if (number == AUTO_ID) object_release(registry, dynamic_id_of(record));
    return 0;
  }
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  if (info.bmBitsPixel == 32 && info.bmBits)
    fill_pixels_32(info, colour);
  else
    fill_with_brush(bitmap, info, colour);
  record->bitmap = bitmap;
  record->width = static_cast<std::int16_t>(info.bmWidth);
  record->height = static_cast<std::int16_t>(info.bmHeight);
  record->depth = static_cast<std::uint8_t>(info.bmBitsPixel);
  record->creation_depth = static_cast<std::uint8_t>(info.bmBitsPixel);
  return number == AUTO_ID ? dynamic_id_of(record) : reinterpret_cast<std::intptr_t>(bitmap);
}

int image_free(ObjectId number) {
  if (number == AUTO_ID) {
    registry_free_all(registry);
    return 0;
  }
  auto* record = static_cast<ImageObject*>(object_lookup(registry, number));
  if (!record) return 0;
  if (GetObjectType(record->bitmap) == OBJ_BITMAP)
    DeleteObject(record->bitmap);
  else
    DestroyIcon(reinterpret_cast<HICON>(record->bitmap));
  object_release(registry, number);
  return 1;
}

void image_free_all() { registry_free_all(registry); }
