// Drawing sessions on a canvas's back buffer; ending one repaints the canvas
// at once, so the picture appears without waiting for a paint message.
#pragma once

#include "runtime/core/registry.h"
#include "runtime/graphics/drawing_session.h"

// Null when number names no canvas, or its back buffer has no pixel memory.
DrawingSession* canvas_output(ObjectId number);
