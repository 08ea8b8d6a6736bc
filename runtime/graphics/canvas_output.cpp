#include "runtime/graphics/canvas_output.h"

#include "runtime/graphics/canvas.h"
#include "runtime/graphics/dib.h"

namespace {

constexpr std::uint32_t CANVAS_PIXEL_FORMAT = FORMAT_BGR24 | FORMAT_BOTTOM_UP;
constexpr std::int32_t CANVAS_DEPTH = 24;
constexpr int RELEASE_AFTER_DRAWING = 1;

void canvas_release(DrawingSession* session, int flag) {
  DeleteDC(session->memory_dc);
  GdiSetBatchLimit(session->saved_batch_limit);
  if (flag != RELEASE_AFTER_DRAWING) return;
  // The canvas may have gone while the session was open.
  if (CanvasObject* canvas = canvas_lookup(session->canvas_number)) canvas_paint(canvas, nullptr);
}

}  // namespace

DrawingSession* canvas_output(ObjectId number) {
  CanvasObject* canvas = canvas_lookup(number);
  if (!canvas || !canvas->back_buffer) return nullptr;
  DIBSECTION section{};
  if (GetObjectW(canvas->back_buffer, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
    return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  DrawingSession* session = drawing_session_create(CANVAS_PIXEL_FORMAT);
  if (!session) {
    DeleteDC(dc);
    return nullptr;
  }
  session->temporary_bitmap = nullptr;
  session->returns_buffer = false;
  session->target_bitmap = canvas->back_buffer;
  session->canvas_number = number;
  session->memory_dc = dc;
  session->saved_batch_limit = GdiGetBatchLimit();
  // Every GDI call on the buffer takes effect at once.
  GdiSetBatchLimit(1);
  SelectObject(dc, canvas->back_buffer);
  session->buffer = static_cast<BYTE*>(section.dsBm.bmBits);
  session->row_size = dib_stride(section.dsBm.bmWidth, section.dsBm.bmBitsPixel);
  session->width = section.dsBm.bmWidth;
  session->height = section.dsBm.bmHeight;
  session->depth = CANVAS_DEPTH;
  session->operations.release = canvas_release;
  return session;
}
