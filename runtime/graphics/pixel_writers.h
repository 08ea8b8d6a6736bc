// The mode-dependent pixel routines of a drawing session. They know only the buffer address,
// row size, bytes per pixel, bottom-up flag and size of the session, so they run without GDI.
#pragma once

#include "runtime/graphics/drawing_session.h"

ColourComponents colour_components(std::uint32_t colour, bool premultiply);
// Chooses the span writer and the single-pixel routines for the session's mode.
void pixel_writers_select(DrawingSession* session);
// Address of picture point (x, y); the caller keeps the point inside the session.
BYTE* pixel_address(const DrawingSession* session, int x, int y);
// `count` pixels of the front colour from (x, y) rightwards / downwards, unclipped.
void draw_span(DrawingSession* session, int x, int y, int count);
void draw_column(DrawingSession* session, int x, int y, int count);

// One pixel in the mode's way: `colour` with alpha blended over the target bytes.
void blend_pixel_3(BYTE* pixel, const ColourComponents& colour);
void blend_pixel_4(BYTE* pixel, const ColourComponents& colour);
