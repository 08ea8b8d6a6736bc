#include "app/chaos_game.h"

namespace {

void widen_box(BoundsBox& box, float x, float y) {
  if (box.min_x > x) box.min_x = x;
  if (box.max_x < x) box.max_x = x;
  if (box.min_y > y) box.min_y = y;
  if (box.max_y < y) box.max_y = y;
}

// The 3-D walk: the same map choice, the point moved in space and its
// projection measured.
BoundsBox measure_space_attractor(AppState& state) {
  state.render.x = state.render.y = state.space.z = 0.0f;
  SpaceWalk walk = space_walk_begin(state);
  for (int step = 0; step < MEASURE_WARM_UP_STEPS; ++step) space_walk_step(walk);
  BoundsBox box;
  for (int step = 0; step < MEASURE_STEPS; ++step) {
    space_walk_step(walk);
    const PlanePoint seen = space_project(state.space, walk.x, walk.y, walk.z);
    widen_box(box, seen.x, seen.y);
  }
  space_walk_end(walk, state);
  return box;
}

}  // namespace

std::int32_t chaos_step() {
  AppState& state = app_state();
  if (state.space.active) {
    SpaceWalk walk = space_walk_begin(state);
    const std::int32_t map = space_walk_step(walk);
    space_walk_end(walk, state);
    return map;
  }
  ChaosWalk walk = chaos_walk_begin(state);
  const std::int32_t map = chaos_walk_step(walk);
  chaos_walk_end(walk, state);
  return map;
}

BoundsBox measure_attractor() {
  AppState& state = app_state();
  if (state.space.active) return measure_space_attractor(state);
  state.render.x = 0.0f;
  state.render.y = 0.0f;
  ChaosWalk walk = chaos_walk_begin(state);
  for (int step = 0; step < MEASURE_WARM_UP_STEPS; ++step) chaos_walk_step(walk);
  BoundsBox box;
  for (int step = 0; step < MEASURE_STEPS; ++step) {
    chaos_walk_step(walk);
    widen_box(box, walk.x, walk.y);
  }
  chaos_walk_end(walk, state);
  return box;
}

BoundsBox square_box(const BoundsBox& box) {
  BoundsBox square = box;
  const double width = static_cast<double>(box.max_x) - box.min_x;
  const double height = static_cast<double>(box.max_y) - box.min_y;
  if (width < height) {
    square.min_x = static_cast<float>((static_cast<double>(box.min_x) + box.max_x - box.max_y + box.min_y) / 2.0);
    square.max_x = static_cast<float>(static_cast<double>(square.min_x) + box.max_y - box.min_y);
  } else {
    square.min_y = static_cast<float>((static_cast<double>(box.min_y) + box.max_y - box.max_x + box.min_x) / 2.0);
    square.max_y = static_cast<float>(static_cast<double>(square.min_y) + box.max_x - box.min_x);
  }
  return square;
}

void view_transform_fit(RenderState& render, const BoundsBox& square) {
  const double min_x = square.min_x, max_x = square.max_x;
  const double min_y = square.min_y, max_y = square.max_y;
  // A box of zero extent (all points at the origin) puts everything mid-canvas.
  render.scale_x = max_x - min_x == 0.0 ? 1.0f : static_cast<float>(CANVAS_PIXELS / (max_x - min_x));
  render.scale_y = min_y - max_y == 0.0 ? 1.0f : static_cast<float>(CANVAS_PIXELS / (min_y - max_y));
  render.offset_x = min_x - max_x == 0.0 ? 300.0f : static_cast<float>((min_x * CANVAS_PIXELS) / (min_x - max_x));
  render.offset_y = max_y - min_y == 0.0 ? 300.0f : static_cast<float>((max_y * CANVAS_PIXELS) / (max_y - min_y));
}

void measure_bounds() { view_transform_fit(app_state().render, square_box(measure_attractor())); }
