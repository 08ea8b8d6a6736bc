// Drawing sessions on images: the session draws straight into the image's pixel memory.
#include <algorithm>

#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/image.h"

namespace {

void image_release(DrawingSession* session, int) {
  if (session->temporary_bitmap) {
    HDC target = CreateCompatibleDC(nullptr);
    if (target) {
      HGDIOBJ previous = SelectObject(target, session->target_bitmap);
      BitBlt(target, 0, 0, session->width, session->height, session->memory_dc, 0, 0, SRCCOPY);
      SelectObject(target, previous);
      DeleteDC(target);
    }
  }
  DeleteDC(session->memory_dc);
  if (session->temporary_bitmap) DeleteObject(session->temporary_bitmap);
  GdiSetBatchLimit(session->saved_batch_limit);
}

}  // namespace

DrawingSession* image_output(ObjectId number) {
  ImageObject* image = image_lookup(number);
  if (!image || GetObjectType(image->bitmap) != OBJ_BITMAP) return nullptr;
  DIBSECTION section{};
  if (GetObjectW(image->bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  std::uint32_t format = (image->depth == 32 ? FORMAT_BGRA32 : FORMAT_BGR24) | FORMAT_BOTTOM_UP;
  DrawingSession* session = drawing_session_create(format);
  if (!session) {
    DeleteDC(dc);
    return nullptr;
  }
  session->memory_dc = dc;
  session->target_bitmap = image->bitmap;
  session->saved_batch_limit = GdiGetBatchLimit();
  GdiSetBatchLimit(1);
  SelectObject(dc, image->bitmap);
  session->buffer = static_cast<BYTE*>(section.dsBm.bmBits);
  session->row_size = dib_stride(section.dsBm.bmWidth, section.dsBm.bmBitsPixel);
  // The record's size, never more than the bitmap really has.
  session->width = std::min<std::int32_t>(image->width, section.dsBm.bmWidth);
  session->height = std::min<std::int32_t>(image->height, section.dsBm.bmHeight);
  session->depth = (format & FORMAT_BGRA32) ? 32 : 24;
  session->operations.release = image_release;
  return session;
}
