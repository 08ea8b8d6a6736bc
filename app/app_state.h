// The application's process-wide state: the map table, the point colours,
// the current point with its view transform, and whether the drawing timer is
// still to be started. Owned by the application for the
// whole run; the chaos game, the drawing and the loader all work on it.
#pragma once

#include <cstdint>

#include "app/colour_table.h"
#include "app/ifs_table.h"
#include "app/space_maps.h"

// The current point and the view transform from IFS coordinates to pixels:
// column = scale_x·x + offset_x, row = scale_y·y + offset_y.
struct RenderState {
  float x = 0.0f;
  float y = 0.0f;
  float scale_x = 1.0f;
  float scale_y = 1.0f;
  float offset_x = 0.0f;
  float offset_y = 0.0f;
};

struct AppState {
  IfsTable table;
  ColourTable colours = INITIAL_COLOURS;
  RenderState render;
  SpaceMaps space;  // active while the table is a 3-D one
  std::int32_t timer_pending = 1;  // 1 until the first successful load starts the drawing timer
};

// The one instance; holds the built-in table from first use on.
AppState& app_state();
// Back to the start-up values: built-in table, initial colours, point at the
// origin, identity transform.
void app_state_reset();
