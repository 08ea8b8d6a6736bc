// Filled (or outlined) rectangles in the current drawing session.
#pragma once

#include "runtime/graphics/drawing_session.h"

// Negative sizes extend left / up from (x, y). Does nothing without a current session.
void draw_box(int x, int y, int width, int height, std::uint32_t colour);
// The session's box operation: coordinates already include the session origin.
void box_operation(DrawingSession* session, int x, int y, int width, int height);
