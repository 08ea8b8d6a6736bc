// draw_image: DIB sections are drawn straight from their pixel memory; other bitmaps go through
// a temporary bottom-up DIB section first.
#include "runtime/graphics/draw_image.h"

#include <cstring>

#include "runtime/graphics/dib.h"

namespace {

constexpr int OPAQUE = 255;

void draw_dib_section(DrawingSession* session, HBITMAP bitmap, int x, int y) {
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) != sizeof info || !info.bmBits) return;
  auto* pixels = static_cast<const BYTE*>(info.bmBits);
  int row_size = dib_stride(info.bmWidth, info.bmBitsPixel);
  if (info.bmBitsPixel == 32)
    blit_rgba32(session, pixels, row_size, x, y, info.bmWidth, info.bmHeight, OPAQUE, false);
  else if (info.bmBitsPixel == 24)
    blit_rgb24(session, pixels, row_size, x, y, info.bmWidth, info.bmHeight, OPAQUE);
}

// A bottom-up DIB section of the same size holding a copy of `bitmap`, made with BitBlt.
HBITMAP copied_through_blit(HBITMAP bitmap, int width, int height) {
  HBITMAP copy = dib_create(width, height, 24);
  if (!copy) return nullptr;
  HDC source = CreateCompatibleDC(nullptr);
  HDC target = CreateCompatibleDC(nullptr);
  HGDIOBJ source_previous = SelectObject(source, bitmap);
  HGDIOBJ target_previous = SelectObject(target, copy);
  bool copied = source && target && source_previous && target_previous &&
                BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
  if (source_previous) SelectObject(source, source_previous);
  if (target_previous) SelectObject(target, target_previous);
  DeleteDC(source);
  DeleteDC(target);
  if (copied) return copy;
  DeleteObject(copy);
  return nullptr;
}

void make_opaque_if_alpha_empty(const BITMAP& info) {
  auto* bytes = static_cast<BYTE*>(info.bmBits);
  size_t count = static_cast<size_t>(info.bmWidthBytes) * info.bmHeight;
  for (size_t i = 3; i < count; i += 4)
    if (bytes[i]) return;
  for (size_t i = 3; i < count; i += 4) bytes[i] = 0xFF;
}

// A device-dependent bitmap read out with GetDIBits.
HBITMAP copied_through_dibits(HBITMAP bitmap, const BITMAP& source) {
  int depth = source.bmBitsPixel > 24 ? 32 : 24;
  HBITMAP copy = dib_create(source.bmWidth, source.bmHeight, depth);
  if (!copy) return nullptr;
  BITMAP info{};
  GetObjectW(copy, sizeof info, &info);
  BITMAPINFO header{};
  header.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), source.bmWidth, source.bmHeight, 1,
                                      static_cast<WORD>(depth), BI_RGB, 0, 0, 0, 0, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  int lines = dc ? GetDIBits(dc, bitmap, 0, static_cast<UINT>(source.bmHeight), info.bmBits, &header, DIB_RGB_COLORS) : 0;
  DeleteDC(dc);
  if (lines <= 0) {
    DeleteObject(copy);
    return nullptr;
  }
  if (depth == 32) make_opaque_if_alpha_empty(info);
  return copy;
}

void draw_bitmap(DrawingSession* session, HBITMAP bitmap, int x, int y) {
  DIBSECTION section{};
  int described = GetObjectW(bitmap, sizeof section, &section);
  HBITMAP temporary = nullptr;
  if (described == sizeof(DIBSECTION)) {
    // Top-down sections are turned bottom-up on the way, like sections of fewer bits.
    if (section.dsBm.bmBitsPixel >= 24 && section.dsBmih.biHeight > 0) {
      draw_dib_section(session, bitmap, x, y);
      return;
    }
    temporary = copied_through_blit(bitmap, section.dsBm.bmWidth, section.dsBm.bmHeight);
  } else if (described == sizeof(BITMAP)) {
    temporary = copied_through_dibits(bitmap, section.dsBm);
  }
  if (!temporary) return;
  draw_dib_section(session, temporary, x, y);
  DeleteObject(temporary);
}

}  // namespace

void draw_image_operation(DrawingSession* session, std::intptr_t handle, int x, int y) {
  if (!handle) return;
  auto* object = reinterpret_cast<HGDIOBJ>(handle);
  // Icons and cursors would need converting into 32-bit pictures with alpha, which this
  // runtime does not do: they are not drawn.
  if (GetObjectType(object) == OBJ_BITMAP) draw_bitmap(session, static_cast<HBITMAP>(object), x, y);
}

void draw_image(std::intptr_t handle, int x, int y) {
  DrawingSession* session = drawing_current();
  if (!session) return;
  std::int64_t left = std::int64_t{x} + session->origin_x;
  std::int64_t top = std::int64_t{y} + session->origin_y;
  // Beyond the int range the picture is off the session anyway.
  if (left < INT32_MIN || left > INT32_MAX || top < INT32_MIN || top > INT32_MAX) return;
  session->operations.draw_image(session, handle, static_cast<int>(left), static_cast<int>(top));
}
