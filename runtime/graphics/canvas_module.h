// State shared by all canvases, made on the first canvas_create.
#pragma once

#include <cstdint>

#include "runtime/core/block_pool.h"
#include "runtime/graphics/canvas.h"

inline constexpr int CANVAS_CURSOR_COUNT = 12;

struct CanvasModule {
  bool initialised;
  GadgetKindTable kind_table;
  BlockPool* event_pool;  // CanvasEventData blocks
  HCURSOR cursor_cache[CANVAS_CURSOR_COUNT];
  HCURSOR default_cursor;
  HWND confined;  // the canvas the cursor is confined to, if any
  std::int32_t wheel_remainder;
};

CanvasModule& canvas_module();

LRESULT canvas_window_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam);
std::intptr_t canvas_attribute_get(GadgetObject* gadget, std::int32_t attribute);
void canvas_attribute_set(GadgetObject* gadget, std::int32_t attribute, std::intptr_t value);
// Confines the cursor to the canvas's client area and captures the mouse.
void canvas_confine_cursor(HWND handle);
// Frees the cursor confinement if this canvas holds it.
void canvas_release_confinement(HWND handle);
// The canvas record attached to a canvas window.
CanvasObject* canvas_of_window(HWND handle);
