// The chaos game: move the current point by a map picked at random by weight,
// and measure the attractor to fit it undistorted into the square canvas.
// Every expression is evaluated in double and rounded to float when stored,
// so that the same seed gives the same pixels everywhere.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/map_choice.h"
#include "app/picture.h"
#include "runtime/core/random.h"

inline constexpr double CANVAS_PIXELS = APP_CANVAS_SIZE;
inline constexpr int MEASURE_WARM_UP_STEPS = 101;
inline constexpr int MEASURE_STEPS = 10001;

struct BoundsBox {
  float min_x = 0.0f;
  float max_x = 0.0f;
  float min_y = 0.0f;
  float max_y = 0.0f;
};

// Moves the point by one map. Every expression is evaluated in double and
// rounded to float when stored; both new coordinates use the old point. The
// desktop program and the poster renderer move their points by this alone.
inline void chaos_move(const MapRows& maps, std::int32_t map, float& x, float& y) {
  const double x0 = x;
  const double y0 = y;
  x = static_cast<float>(static_cast<double>(maps.a[map]) * x0 + static_cast<double>(maps.b[map]) * y0 +
                         static_cast<double>(maps.e[map]));
  y = static_cast<float>(static_cast<double>(maps.c[map]) * x0 + static_cast<double>(maps.d[map]) * y0 +
                         static_cast<double>(maps.f[map]));
}

// A run of steps on one table: the map choices and the parameter rows read
// once, the point held here rather than in the state, so that nothing in the
// loop has to be looked up again after each pixel the caller stores.
struct ChaosWalk {
  const std::int32_t* choices;
  MapRows maps;
  float x, y;
};

// Valid until the table changes; chaos_walk_end gives the point back.
inline ChaosWalk chaos_walk_begin(AppState& state) {
  const IfsTable& table = state.table;
  return ChaosWalk{map_choices(state.table), ifs_map_rows(table), state.render.x, state.render.y};
}

inline void chaos_walk_end(const ChaosWalk& walk, AppState& state) {
  state.render.x = walk.x;
  state.render.y = walk.y;
}

// One step: the index of the map used, or 0 when no map was chosen. Both new
// coordinates use the old point.
inline std::int32_t chaos_walk_step(ChaosWalk& walk) {
  const std::int32_t map = walk.choices[random_next(IFS_CHOICE_COUNT - 1)];
  if (map == IFS_NO_MAP) return 0;
  chaos_move(walk.maps, map, walk.x, walk.y);
  return map;
}

// The same for a 3-D table: the point in space, its projection left to the caller.
struct SpaceWalk {
  const std::int32_t* choices;
  const float* values;
  float x, y, z;
};

inline SpaceWalk space_walk_begin(AppState& state) {
  return SpaceWalk{map_choices(state.table), state.space.values.data(), state.render.x, state.render.y,
                   state.space.z};
}

inline void space_walk_end(const SpaceWalk& walk, AppState& state) {
  state.render.x = walk.x;
  state.render.y = walk.y;
  state.space.z = walk.z;
}

inline std::int32_t space_walk_step(SpaceWalk& walk) {
  const std::int32_t map = walk.choices[random_next(IFS_CHOICE_COUNT - 1)];
  if (map == IFS_NO_MAP) return 0;
  space_move(walk.values, map, walk.x, walk.y, walk.z);
  return map;
}

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
