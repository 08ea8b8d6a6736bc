// Filled (or outlined) rectangles in the current drawing session.
#pragma once

#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/pixel_writers.h"

// The session's box operation: coordinates already include the session origin.
void box_operation(DrawingSession* session, int x, int y, int width, int height);
// draw_box for a given current session, any size and mode.
void draw_box_in(DrawingSession* session, int x, int y, int width, int height, std::uint32_t colour);

// Negative sizes extend left / up from (x, y). Does nothing without a current session.
// The fractal's points (1 x 1 boxes in mode 0, 40000 per timer tick) are stored
// here without a call, through the session's plot target; mode 0 writes B, G, R
// at either pixel size.
inline void draw_box(int x, int y, int width, int height, std::uint32_t colour) {
  DrawingSession* session = drawing_current();
  if (!session) return;
  // A copy, so that the colour stores below do not make the compiler read the target again.
  const PlotTarget target = session->plot_target;
  if (!(target.stores_directly && width == 1 && height == 1)) {
    draw_box_in(session, x, y, width, height, colour);
    return;
  }
  if (colour != session->front_colour) {
    // What the set-front-colour operation does; mode 0 never premultiplies.
    session->front_colour = colour;
    session->front = colour_components(colour, false);
  }
  if (static_cast<std::uint32_t>(x) >= target.width || static_cast<std::uint32_t>(y) >= target.height) return;
  // The front colour is `colour` now: its bytes go straight in, B, G, R.
  BYTE* pixel = target.top_row + y * target.row_step + static_cast<std::ptrdiff_t>(x) * target.pixel_bytes;
  pixel[0] = static_cast<BYTE>(colour >> 16);
  pixel[1] = static_cast<BYTE>(colour >> 8);
  pixel[2] = static_cast<BYTE>(colour);
}
