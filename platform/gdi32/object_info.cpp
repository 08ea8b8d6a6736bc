// GetObjectW, GetObjectType and DeleteObject.
#include <cstring>

#include "platform/call_watch.h"
#include "platform/gdi32/bitmap.h"

namespace {

BITMAP describe_bitmap(const Bitmap& bitmap) {
  BITMAP info{};
  info.bmWidth = bitmap.width;
  info.bmHeight = bitmap.height;
  info.bmWidthBytes = bitmap.stride;
  info.bmPlanes = 1;
  info.bmBitsPixel = bitmap.bits_per_pixel;
  // Only a DIB section shows its pixel memory.
  info.bmBits = bitmap.is_dib ? bitmap.bits : nullptr;
  return info;
}

int bitmap_object(const Bitmap& bitmap, int size, LPVOID buffer) {
  // Without a buffer Win32 answers with the size of a BITMAP, even for a DIB section: the
  // DIBSECTION comes only to a caller who offers room for one.
  if (!buffer) return sizeof(BITMAP);
  if (bitmap.is_dib && size >= static_cast<int>(sizeof(DIBSECTION))) {
    DIBSECTION section{};
    section.dsBm = describe_bitmap(bitmap);
    section.dsBmih = bitmap.header;
    std::memcpy(buffer, &section, sizeof section);
    return sizeof section;
  }
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP info = describe_bitmap(bitmap);
  std::memcpy(buffer, &info, sizeof info);
  return sizeof info;
}

// Brushes, pens and fonts copy as much of their logical description as the caller has room for.
int logical_object(const void* logical, int full, int size, LPVOID buffer) {
  if (!buffer) return full;
  if (size <= 0) return 0;
  int copied = size < full ? size : full;
  std::memcpy(buffer, logical, copied);
  return copied;
}

}  // namespace

int GetObjectW(HANDLE object, int size, LPVOID buffer) {
  GdiObject* found = gdi_lookup_any(object);
  if (!found) return 0;
  switch (found->kind) {
    case GdiKind::BITMAP: return bitmap_object(*static_cast<Bitmap*>(found), size, buffer);
    case GdiKind::BRUSH: return logical_object(&static_cast<Brush*>(found)->logical, sizeof(LOGBRUSH), size, buffer);
    case GdiKind::PEN: return logical_object(&static_cast<Pen*>(found)->logical, sizeof(LOGPEN), size, buffer);
    case GdiKind::FONT: return logical_object(&static_cast<Font*>(found)->logical, sizeof(LOGFONTW), size, buffer);
    default: return 0;
  }
}

DWORD GetObjectType(HGDIOBJ object) {
  GdiObject* found = gdi_lookup_any(object);
  if (!found) return 0;
  switch (found->kind) {
    case GdiKind::BITMAP: return OBJ_BITMAP;
    case GdiKind::BRUSH: return OBJ_BRUSH;
    case GdiKind::PEN: return OBJ_PEN;
    case GdiKind::FONT: return OBJ_FONT;
    case GdiKind::DC: return static_cast<DeviceContext*>(found)->memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;  // icons are not GDI objects
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  call_noted(object, "DeleteObject");
  GdiObject* found = gdi_lookup_any(object);
  if (!found || found->kind == GdiKind::DC || found->kind == GdiKind::ICON) return FALSE;
  if (found->stock) return TRUE;
  // An object still selected into a device context stays alive, as on Win32.
  if (found->select_count > 0) return FALSE;
  gdi_destroy(found);
  return TRUE;
}
