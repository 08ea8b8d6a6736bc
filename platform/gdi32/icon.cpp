// Icons and cursors: a mask bitmap and an optional colour bitmap, owned by the icon.
#include <cstring>
#include <new>

#include "platform/gdi32/bitmap.h"

namespace {

// A private copy of a bitmap, as CreateIconIndirect and GetIconInfo hand out.
HBITMAP bitmap_copy(HBITMAP handle) {
  const Bitmap* source = bitmap_from(handle);
  if (!source) return nullptr;
  Bitmap* copy = bitmap_allocate(source->width, source->height, source->bits_per_pixel, source->is_dib);
  if (!copy) return nullptr;
  copy->top_down = source->top_down;
  copy->header = source->header;
  copy->colours = source->colours;
  std::memcpy(copy->bits, source->bits, static_cast<size_t>(source->stride) * source->height);
  return reinterpret_cast<HBITMAP>(copy);
}

Icon* icon_from(const void* handle) { return static_cast<Icon*>(gdi_lookup(handle, GdiKind::ICON)); }

}  // namespace

Icon::~Icon() {
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}

HICON CreateIconIndirect(ICONINFO* info) {
  if (!info || !bitmap_from(info->hbmMask)) return nullptr;
  if (info->hbmColor && !bitmap_from(info->hbmColor)) return nullptr;
  Icon* icon = new (std::nothrow) Icon;
  if (!icon) return nullptr;
  icon->info = *info;
  icon->info.hbmMask = bitmap_copy(info->hbmMask);
  icon->info.hbmColor = info->hbmColor ? bitmap_copy(info->hbmColor) : nullptr;
  if (!icon->info.hbmMask || (info->hbmColor && !icon->info.hbmColor)) {
    delete icon;
    return nullptr;
  }
  return static_cast<HICON>(gdi_register(icon));
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  Icon* icon = icon_from(handle);
  if (!icon || !info) return FALSE;
  *info = icon->info;
  info->hbmMask = bitmap_copy(icon->info.hbmMask);
  info->hbmColor = icon->info.hbmColor ? bitmap_copy(icon->info.hbmColor) : nullptr;
  return TRUE;
}

BOOL DestroyIcon(HICON handle) {
  Icon* icon = icon_from(handle);
  if (!icon) return FALSE;
  gdi_destroy(icon);
  return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }
