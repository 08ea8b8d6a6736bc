#include "runtime/graphics/draw_box.h"

#include <algorithm>
#include <cstdint>

#include "runtime/graphics/pixel_writers.h"

namespace {

// Box coordinates in 64 bits: x + width must not overflow whatever the caller passes.
struct Box {
  std::int64_t x, y, width, height;
};

void draw_row(DrawingSession* session, std::int64_t y, std::int64_t left, std::int64_t right) {
  if (y < 0 || y >= session->height) return;
  left = std::max<std::int64_t>(left, 0);
  right = std::min<std::int64_t>(right, session->width);
  if (right > left) draw_span(session, static_cast<int>(left), static_cast<int>(y), static_cast<int>(right - left));
}

void draw_side(DrawingSession* session, std::int64_t x, std::int64_t top, std::int64_t bottom) {
  if (x < 0 || x >= session->width) return;
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, session->height);
  if (bottom > top) draw_column(session, static_cast<int>(x), static_cast<int>(top), static_cast<int>(bottom - top));
}

// No early return for an empty side: a box of width 0 still has side columns (at x and x - 1) when it is
// at least 3 high, and one of height 0 has its top and bottom rows (at y and y - 1).
void draw_outline(DrawingSession* session, const Box& box) {
  draw_row(session, box.y, box.x, box.x + box.width);
  draw_row(session, box.y + box.height - 1, box.x, box.x + box.width);
  draw_side(session, box.x, box.y + 1, box.y + box.height - 1);
  draw_side(session, box.x + box.width - 1, box.y + 1, box.y + box.height - 1);
}

void draw_filled(DrawingSession* session, Box box) {
  if (box.x < 0) {
    box.width += box.x;
    box.x = 0;
  }
  if (box.y < 0) {
    box.height += box.y;
    box.y = 0;
  }
  if (box.x + box.width > session->width) box.width = session->width - box.x;
  if (box.y + box.height > session->height) box.height = session->height - box.y;
  if (box.width <= 0 || box.height <= 0) return;
  for (std::int64_t i = 0; i < box.height; ++i)
    draw_span(session, static_cast<int>(box.x), static_cast<int>(box.y + i), static_cast<int>(box.width));
}

int saturated(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

void box_operation(DrawingSession* session, int x, int y, int width, int height) {
  Box box{x, y, width, height};
  if (box.width < 0) {
    box.x += box.width;
    box.width = -box.width;
  }
  if (box.height < 0) {
    box.y += box.height;
    box.height = -box.height;
  }
  if (session->mode & DRAWING_MODE_OUTLINED)
    draw_outline(session, box);
  else
    draw_filled(session, box);
}

void draw_box_in(DrawingSession* session, int x, int y, int width, int height, std::uint32_t colour) {
  // Converting the colour only when it changes keeps point plotting cheap.
  if (colour != session->front_colour) session->operations.set_front_colour(session, colour);
  session->operations.box(session, saturated(std::int64_t{x} + session->origin_x),
                          saturated(std::int64_t{y} + session->origin_y), width, height);
}
