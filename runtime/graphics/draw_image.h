// Copying bitmaps into the current drawing session.
#pragma once

#include "runtime/graphics/drawing_session.h"

// Draws the whole bitmap `handle` with its top-left corner at (x, y); 0 draws nothing.
void draw_image(std::intptr_t handle, int x, int y);
// The session's draw-image operation: coordinates already include the session origin.
void draw_image_operation(DrawingSession* session, std::intptr_t handle, int x, int y);

// A bottom-up block of pixels placed at (x, y), clipped to the session. `alpha` is a constant
// opacity; 32-bit blocks bring their own alpha only when `use_alpha` is set.
void blit_rgb24(DrawingSession* session, const BYTE* pixels, int row_size, int x, int y, int width, int height,
                int alpha);
void blit_rgba32(DrawingSession* session, const BYTE* pixels, int row_size, int x, int y, int width, int height,
                 int alpha, bool use_alpha);
