// The drawing side of the renderer: one chaos-game point becomes two pixels
// on canvas 0, a timer tick draws a batch of points inside one drawing
// session, and the canvas is cleared to black after every measurement.
#pragma once

#include <cstdint>

#include "app/picture.h"

inline constexpr std::int32_t APP_CANVAS = 0;

// Draws the current point into the current session in the colour of map_index.
void plot_point(std::int32_t map_index);
// One timer tick: a batch of points in one session on canvas 0. Takes no step
// at all when no session can be opened.
void draw_batch();
// Paints canvas 0 black.
void clear_canvas();
