// The chaos game: move the current point by a map picked at random by weight,
// and measure the attractor to fit it undistorted into the square canvas.
// Every expression is evaluated in double and rounded to float when stored,
// so that the same seed gives the same pixels everywhere.
#pragma once

#include <cstdint>

#include "app/app_state.h"

inline constexpr double CANVAS_PIXELS = 600.0;
inline constexpr int MEASURE_WARM_UP_STEPS = 101;
inline constexpr int MEASURE_STEPS = 10001;

struct BoundsBox {
  float min_x = 0.0f;
  float max_x = 0.0f;
  float min_y = 0.0f;
  float max_y = 0.0f;
};

// The first map (in table order) whose cumulative weight reaches r, or -1
// when the weights add up to less than r.
std::int32_t chaos_choose_map(const IfsTable& table, float r);
// Moves the point by one map; both new coordinates use the old point.
void chaos_apply_map(const IfsTable& table, std::int32_t map, RenderState& render);

// One step on the application state: the index of the map used, or 0 when no
// map was chosen (the point then stays where it is).
std::int32_t chaos_step();

// Runs the game from the origin and returns the box of the points visited,
// which always contains the origin. Leaves the point at the last position.
BoundsBox measure_attractor();
// Widens the shorter side to the longer one around its centre.
BoundsBox square_box(const BoundsBox& box);
// Maps min_x to column 0, max_x to column 600, max_y to row 0, min_y to row 600.
void view_transform_fit(RenderState& render, const BoundsBox& square);

// Recomputes the view transform from the current table.
void measure_bounds();
