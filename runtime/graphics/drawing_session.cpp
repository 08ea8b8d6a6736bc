#include "runtime/graphics/drawing_session.h"

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/draw_image.h"
#include "runtime/graphics/pixel_writers.h"

namespace {

constexpr DWORD NO_SLOT = 0xFFFFFFFF;  // TLS_OUT_OF_INDEXES

DWORD session_slot = NO_SLOT;

// The thread-local copy is written for code that looks there; nothing here reads it.
void make_current(DrawingSession* session) {
  drawing_current_session = session;
  if (session_slot != NO_SLOT) TlsSetValue(session_slot, session);
}

void set_front_colour(DrawingSession* session, std::uint32_t colour) {
  session->front_colour = colour;
  session->front = colour_components(colour, session->premultiply);
}

void set_back_colour(DrawingSession* session, std::uint32_t colour) {
  session->back_colour = colour;
  session->back = colour_components(colour, session->premultiply);
}

std::intptr_t begin(DrawingSession* session) {
  if (!session->buffer) return 0;
  session->full_buffer = session->buffer;
  session->text_dc = CreateCompatibleDC(nullptr);
  if (session->text_dc) session->text_previous_font = SelectObject(session->text_dc, GetStockObject(SYSTEM_FONT));
  if (session->returns_buffer) return reinterpret_cast<std::intptr_t>(session->buffer);
  return reinterpret_cast<std::intptr_t>(session->memory_dc);
}

void end(DrawingSession* session) {
  if (session->text_dc) {
    SelectObject(session->text_dc, session->text_previous_font);
    DeleteDC(session->text_dc);
    session->text_dc = nullptr;
  }
}

// Kept in step with every field it is made from: buffer and size (drawing_begin),
// mode (drawing_mode_set), origin (drawing_origin_set); the box operation never changes.
void plot_target_update(DrawingSession* session) {
  PlotTarget& target = session->plot_target;
  target = PlotTarget{};
  // Before drawing_begin (no full buffer yet) points take the general way.
  if (!session->full_buffer || session->width <= 0 || session->height <= 0) return;
  const std::ptrdiff_t row_size = session->row_size;
  target.top_row = session->buffer + (session->bottom_up ? (session->height - 1) * row_size : 0);
  target.row_step = session->bottom_up ? -row_size : row_size;
  target.width = static_cast<std::uint32_t>(session->width);
  target.height = static_cast<std::uint32_t>(session->height);
  target.pixel_bytes = session->pixel_bytes;
  target.stores_directly = session->mode == 0 && session->origin_x == 0 && session->origin_y == 0 &&
                           session->operations.box == box_operation;
}

void session_free(DrawingSession* session) {
  if (drawing_current_session == session) make_current(nullptr);
  HeapFree(main_heap(), 0, session);
}

}  // namespace

DrawingSession* drawing_current_session = nullptr;

bool drawing_library_init() {
  // One slot for the whole process, however often the runtime starts.
  if (session_slot == NO_SLOT) session_slot = TlsAlloc();
  return session_slot != NO_SLOT;
}

DWORD drawing_library_slot() { return session_slot; }

DrawingSession* drawing_session_create(std::uint32_t pixel_format) {
  auto* session = static_cast<DrawingSession*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(DrawingSession)));
  if (!session) return nullptr;
  // Only one session lives at a time: one left over by a careless caller is finished here.
  if (drawing_current_session) drawing_end();
  make_current(session);
  session->pixel_format = pixel_format;
  session->bottom_up = (pixel_format & FORMAT_BOTTOM_UP) != 0;
  session->pixel_bytes = (pixel_format & 0x60) ? 4 : 3;
  session->gradient_colours[0] = 0xFFFFFFFF;
  session->gradient_colours[1] = 0xFF000000;
  session->operations.set_back_colour = set_back_colour;
  session->operations.set_front_colour = set_front_colour;
  session->operations.set_mode = drawing_mode_set;
  session->operations.box = box_operation;
  drawing_mode_set(session, 0);
  session->operations.begin = begin;
  session->operations.end = end;
  session->operations.draw_image = draw_image_operation;
  return session;
}

void drawing_mode_set(DrawingSession* session, int mode) {
  if (!session) return;
  // Storing all four bytes overrides the alpha modes; at 3 bytes per pixel there is no fourth byte.
  if (mode & DRAWING_MODE_ALL_CHANNELS) {
    mode &= ~(DRAWING_MODE_ALPHA_CHANNEL | DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CLIP);
    if (session->pixel_bytes == 3) mode &= ~DRAWING_MODE_ALL_CHANNELS;
  }
  session->mode = mode;
  constexpr int NOT_BLENDING = DRAWING_MODE_XOR | DRAWING_MODE_GRADIENT | DRAWING_MODE_CUSTOM | DRAWING_MODE_ALL_CHANNELS;
  session->premultiply = (mode & (DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CLIP)) && !(mode & NOT_BLENDING);
  session->gradient_pixels = (mode & DRAWING_MODE_GRADIENT) != 0;
  session->custom_pixels = (mode & DRAWING_MODE_CUSTOM) != 0;
  pixel_writers_select(session);
  set_front_colour(session, session->front_colour);
  set_back_colour(session, session->back_colour);
  plot_target_update(session);
}

void drawing_origin_set(DrawingSession* session, int x, int y) {
  if (!session) return;
  session->origin_x = x;
  session->origin_y = y;
  plot_target_update(session);
}

std::intptr_t drawing_begin(DrawingSession* session) {
  if (!session) return 0;
  session->full_width = session->width;
  session->full_height = session->height;
  if (std::intptr_t result = session->operations.begin(session)) {
    plot_target_update(session);
    return result;
  }
  if (session->operations.release) session->operations.release(session, 0);
  session_free(session);
  return 0;
}

void drawing_end() {
  DrawingSession* session = drawing_current_session;
  if (!session) return;
  session->operations.end(session);
  if (session->operations.release) session->operations.release(session, 1);
  session_free(session);
}
