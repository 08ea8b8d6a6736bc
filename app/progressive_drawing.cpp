#include "app/progressive_drawing.h"

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "runtime/core/float_conversion.h"
#include "runtime/graphics/canvas_output.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/drawing_session.h"

namespace {

constexpr std::uint32_t BLACK = 0x000000;

bool begin_canvas_session() { return drawing_begin(canvas_output(APP_CANVAS)) != 0; }

// The view transform and the colours, copied once per batch so that the
// pixel stores cannot make the compiler read them again for every point.
struct PlotView {
  float scale_x, scale_y, offset_x, offset_y;
  ColourTable colours;
};

PlotView plot_view(const AppState& state) {
  const RenderState& render = state.render;
  return PlotView{render.scale_x, render.scale_y, render.offset_x, render.offset_y, state.colours};
}

inline void plot_at(const PlotView& view, float x, float y, std::int32_t map_index) {
  // Evaluated in double, stored as float: the pixels must not depend on the
  // compiler's choice of precision.
  const float column = static_cast<float>(static_cast<double>(view.scale_x) * x + view.offset_x);
  const float row = static_cast<float>(static_cast<double>(view.scale_y) * y + view.offset_y);
  const std::uint32_t colour = colour_for_map(view.colours, map_index);
  const std::int32_t pixel_row = float_to_int32(row);
  draw_box(float_to_int32(column), pixel_row, 1, 1, colour);
  draw_box(float_to_int32(static_cast<double>(column) + 1.0), pixel_row, 1, 1, colour);
}

}  // namespace

void plot_point(std::int32_t map_index) {
  const AppState& state = app_state();
  const PlanePoint seen = state.space.active ? space_project(state.space, state.render.x, state.render.y, state.space.z)
                                             : PlanePoint{state.render.x, state.render.y};
  plot_at(plot_view(state), seen.x, seen.y, map_index);
}

namespace {

// A 3-D table: each point in space plotted where its projection falls.
void draw_space_batch(AppState& state, const PlotView& view) {
  SpaceWalk walk = space_walk_begin(state);
  for (std::int32_t counter = 0; counter < BATCH_POINTS; ++counter) {
    const std::int32_t map_index = space_walk_step(walk);
    const PlanePoint seen = space_project(state.space, walk.x, walk.y, walk.z);
    plot_at(view, seen.x, seen.y, map_index);
  }
  space_walk_end(walk, state);
}

}  // namespace

void draw_batch() {
  if (!begin_canvas_session()) return;
  AppState& state = app_state();
  const PlotView view = plot_view(state);
  if (state.space.active) {
    draw_space_batch(state, view);
    drawing_end();
    return;
  }
  ChaosWalk walk = chaos_walk_begin(state);
  for (std::int32_t counter = 0; counter < BATCH_POINTS; ++counter) {
    const std::int32_t map_index = chaos_walk_step(walk);
    plot_at(view, walk.x, walk.y, map_index);
  }
  chaos_walk_end(walk, state);
  drawing_end();
}

void clear_canvas() {
  if (!begin_canvas_session()) return;
  draw_box(0, 0, APP_CANVAS_SIZE, APP_CANVAS_SIZE, BLACK);
  drawing_end();
}
