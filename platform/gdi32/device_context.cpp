// Memory and window device contexts, and object selection.
#include "platform/gdi32/device_context.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

template <typename T>
T* swap_selection(T*& slot, T* object) {
  T* previous = slot;
  if (previous) --previous->select_count;
  ++object->select_count;
  slot = object;
  return previous;
}

DeviceContext* dc_new(bool memory) {
  DeviceContext* dc = new (std::nothrow) DeviceContext;
  if (!dc) return nullptr;
  dc->memory = memory;
  swap_selection(dc->brush, static_cast<Brush*>(GetStockObject(WHITE_BRUSH)));
  swap_selection(dc->pen, static_cast<Pen*>(GetStockObject(BLACK_PEN)));
  swap_selection(dc->font, static_cast<Font*>(GetStockObject(SYSTEM_FONT)));
  gdi_register(dc);
  return dc;
}

void dc_free(DeviceContext* dc) {
  --dc->brush->select_count;
  --dc->pen->select_count;
  --dc->font->select_count;
  if (dc->bitmap) {
    --dc->bitmap->select_count;
    dc->bitmap->selected_in = nullptr;
  }
  gdi_destroy(dc);
}

HGDIOBJ select_bitmap(DeviceContext* dc, Bitmap* bitmap) {
  // Only memory DCs hold bitmaps, and a bitmap sits in one DC at a time (the stock one excepted).
  if (!dc->memory) return nullptr;
  if (bitmap->selected_in && bitmap->selected_in != dc && !bitmap->stock) return nullptr;
  Bitmap* previous = swap_selection(dc->bitmap, bitmap);
  if (previous) previous->selected_in = nullptr;
  if (!bitmap->stock) bitmap->selected_in = dc;
  return previous;
}

}  // namespace

DrawTarget dc_target(const DeviceContext& dc) {
  DrawTarget target{};
  if (dc.memory) {
    target.view = bitmap_view(*dc.bitmap);
    target.clip = RECT{0, 0, dc.bitmap->width, dc.bitmap->height};
  } else {
    target.view.bits = dc.surface->bits;
    target.view.width = dc.surface->width;
    target.view.height = dc.surface->height;
    target.view.stride = dc.surface->stride;
    target.view.bits_per_pixel = 32;
    if (dc.surface->device) target.device = dc.surface;
    target.origin = dc.origin;
    // The owner may have made the surface smaller since the DC was made.
    target.clip = RECT{dc.clip.left, dc.clip.top, std::min(dc.clip.right, dc.surface->width),
                       std::min(dc.clip.bottom, dc.surface->height)};
    target.clip.right = std::max(target.clip.right, target.clip.left);
    target.clip.bottom = std::max(target.clip.bottom, target.clip.top);
  }
  return target;
}

WideRect wide_rect_normalized(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
  WideRect rect{x, y, x + width, y + height};
  if (width < 0) std::swap(rect.left, rect.right);
  if (height < 0) std::swap(rect.top, rect.bottom);
  return rect;
}

RECT dc_clip_rect(const DrawTarget& target, const WideRect& logical) {
  std::int64_t left = std::max<std::int64_t>(logical.left + target.origin.x, target.clip.left);
  std::int64_t top = std::max<std::int64_t>(logical.top + target.origin.y, target.clip.top);
  std::int64_t right = std::min<std::int64_t>(logical.right + target.origin.x, target.clip.right);
  std::int64_t bottom = std::min<std::int64_t>(logical.bottom + target.origin.y, target.clip.bottom);
  if (right < left || bottom < top) return RECT{target.clip.left, target.clip.top, target.clip.left, target.clip.top};
  return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !dc_from(dc)) return nullptr;
  DeviceContext* memory_dc = dc_new(true);
  if (!memory_dc) return nullptr;
  select_bitmap(memory_dc, stock_bitmap());
  return reinterpret_cast<HDC>(memory_dc);
}

BOOL DeleteDC(HDC dc) {
  DeviceContext* context = dc_from(dc);
  if (!context) return FALSE;
  dc_free(context);
  return TRUE;
}

HDC gdi_create_surface_dc(PixelSurface* surface, POINT origin, RECT clip) {
  if (!surface || surface->width <= 0 || surface->height <= 0) return nullptr;
  const bool addressed = surface->bits && surface->stride >= surface->width * 4;
  const bool on_device = !surface->bits && surface->device && surface->device->write && surface->device->read &&
                         surface->device->fill;
  if (!addressed && !on_device) return nullptr;
  DeviceContext* dc = dc_new(false);
  if (!dc) return nullptr;
  dc->surface = surface;
  dc->origin = origin;
  // Never trust the clip beyond the surface: drawing outside it would write foreign memory.
  dc->clip = RECT{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, surface->width),
                  std::min(clip.bottom, surface->height)};
  if (dc->clip.right < dc->clip.left) dc->clip.right = dc->clip.left;
  if (dc->clip.bottom < dc->clip.top) dc->clip.bottom = dc->clip.top;
  return reinterpret_cast<HDC>(dc);
}

void gdi_release_surface_dc(HDC dc) {
  DeviceContext* context = dc_from(dc);
  if (context && !context->memory) dc_free(context);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* context = dc_from(dc);
  GdiObject* selected = gdi_lookup_any(object);
  if (!context || !selected) return nullptr;
  switch (selected->kind) {
    case GdiKind::BITMAP: return select_bitmap(context, static_cast<Bitmap*>(selected));
    case GdiKind::BRUSH: return swap_selection(context->brush, static_cast<Brush*>(selected));
    case GdiKind::PEN: return swap_selection(context->pen, static_cast<Pen*>(selected));
    case GdiKind::FONT: return swap_selection(context->font, static_cast<Font*>(selected));
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  DeviceContext* context = dc_from(dc);
  if (!context) return nullptr;
  switch (type) {
    case OBJ_BITMAP: return context->memory ? context->bitmap : nullptr;
    case OBJ_BRUSH: return context->brush;
    case OBJ_PEN: return context->pen;
    case OBJ_FONT: return context->font;
    default: return nullptr;
  }
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  return std::exchange(context->back_colour, colour);
}

COLORREF GetBkColor(HDC dc) {
  DeviceContext* context = dc_from(dc);
  return context ? context->back_colour : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  return std::exchange(context->text_colour, colour);
}

COLORREF GetTextColor(HDC dc) {
  DeviceContext* context = dc_from(dc);
  return context ? context->text_colour : CLR_INVALID;
}
