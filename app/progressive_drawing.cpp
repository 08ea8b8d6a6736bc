#include "app/progressive_drawing.h"

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "runtime/core/float_conversion.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/drawing_session.h"

namespace {

constexpr std::uint32_t BLACK = 0x000000;
constexpr std::int32_t CANVAS_SIZE = 600;

bool begin_canvas_session() { return drawing_begin(canvas_output(APP_CANVAS)) != 0; }

}  // namespace

void plot_point(std::int32_t map_index) {
  const AppState& state = app_state();
  const RenderState& render = state.render;
  // Evaluated in double, stored as float: the pixels must not depend on the
  // compiler's choice of precision.
  const float column = static_cast<float>(static_cast<double>(render.scale_x) * render.x + render.offset_x);
  const float row = static_cast<float>(static_cast<double>(render.scale_y) * render.y + render.offset_y);
  const std::uint32_t colour = colour_for_map(state.colours, map_index);
  const std::int32_t y = float_to_int32(row);
  draw_box(float_to_int32(column), y, 1, 1, colour);
  draw_box(float_to_int32(static_cast<double>(column) + 1.0), y, 1, 1, colour);
}

void draw_batch() {
  if (!begin_canvas_session()) return;
  for (std::int32_t counter = 0; counter < BATCH_POINTS; ++counter) plot_point(chaos_step());
  drawing_end();
}

void clear_canvas() {
  if (!begin_canvas_session()) return;
  draw_box(0, 0, CANVAS_SIZE, CANVAS_SIZE, BLACK);
  drawing_end();
}
