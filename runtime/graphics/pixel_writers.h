// The mode-dependent pixel routines of a drawing session. They know only the buffer address,
// row size, bytes per pixel, bottom-up flag and size of the session, so they run without GDI.
#pragma once

#include "runtime/graphics/drawing_session.h"

// Inline: built in registers, the parts are stored straight into the session.
// An out-of-line call returning them through the stack costs a store-forwarding
// stall on every colour change, which point plotting makes often.
inline ColourComponents colour_components(std::uint32_t colour, bool premultiply) {
  ColourComponents parts;
  parts.alpha = static_cast<std::int32_t>((colour >> 24) & 0xFF);
  parts.inverse = 255 - parts.alpha;
  parts.red = static_cast<std::int32_t>(colour & 0xFF);
  parts.green = static_cast<std::int32_t>((colour >> 8) & 0xFF);
  parts.blue = static_cast<std::int32_t>((colour >> 16) & 0xFF);
  if (premultiply) {
    parts.red *= parts.alpha;
    parts.green *= parts.alpha;
    parts.blue *= parts.alpha;
  }
  return parts;
}
// Chooses the span writer and the single-pixel routines for the session's mode.
void pixel_writers_select(DrawingSession* session);
// Address of picture point (x, y); the caller keeps the point inside the session.
inline BYTE* pixel_address(const DrawingSession* session, int x, int y) {
  std::ptrdiff_t row = session->bottom_up ? session->height - 1 - y : y;
  return session->buffer + row * session->row_size + static_cast<std::ptrdiff_t>(x) * session->pixel_bytes;
}
// `count` pixels of the front colour from (x, y) rightwards / downwards, unclipped.
void draw_span(DrawingSession* session, int x, int y, int count);
void draw_column(DrawingSession* session, int x, int y, int count);

// One pixel in the mode's way: `colour` with alpha blended over the target bytes.
void blend_pixel_3(BYTE* pixel, const ColourComponents& colour);
void blend_pixel_4(BYTE* pixel, const ColourComponents& colour);
