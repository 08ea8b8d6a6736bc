// The canvas control: a child control showing a picture kept in a 24-bit
// off-screen back buffer, drawn into through canvas_output sessions, and
// turning mouse and keyboard input into queued control events.
#pragma once

#include <cstdint>

#include "platform/win32/gdi32.h"
#include "platform/win32/user32.h"
#include "runtime/core/registry.h"
#include "runtime/gui/gadget.h"

inline constexpr std::int32_t CANVAS_KIND = 33;

// Creation flags.
inline constexpr std::uint32_t CANVAS_BORDER = 1;        // sunken edge; back buffer 4 pixels smaller each way
inline constexpr std::uint32_t CANVAS_CONFINE = 2;       // mouse confined and captured while a button is held
inline constexpr std::uint32_t CANVAS_KEYBOARD = 4;      // tab stop, takes the focus on click and activation
inline constexpr std::uint32_t CANVAS_FOCUS_FRAME = 8;   // focus frame drawn while focused

// Attributes (gadget_attribute_get / gadget_attribute_set).
enum CanvasAttribute : std::int32_t {
  CANVAS_BACK_BUFFER = 1,
  CANVAS_EVENT_X = 2,
  CANVAS_EVENT_Y = 3,
  CANVAS_EVENT_BUTTONS = 4,
  CANVAS_EVENT_KEY = 5,
  CANVAS_EVENT_MODIFIERS = 6,
  CANVAS_CURSOR_INDEX = 7,
  CANVAS_EVENT_WHEEL = 8,
  CANVAS_EVENT_CHARACTER = 9,
  CANVAS_CURSOR_CONFINED = 10,
  CANVAS_CUSTOM_CURSOR = 11,
};

// Event types of the canvas's EVENT_GADGET events.
enum CanvasEventType : std::int32_t {
  CANVAS_LEFT_CLICK = 0,
  CANVAS_RIGHT_CLICK = 1,
  CANVAS_LEFT_DOUBLE_CLICK = 2,
  CANVAS_RIGHT_DOUBLE_CLICK = 3,
  CANVAS_FOCUS_GAINED = 14000,
  CANVAS_FOCUS_LOST = 14001,
  CANVAS_MOUSE_ENTER = 65537,
  CANVAS_MOUSE_LEAVE = 65538,
  CANVAS_MOUSE_MOVE = 65539,
  CANVAS_LEFT_DOWN = 65540,
  CANVAS_LEFT_UP = 65541,
  CANVAS_RIGHT_DOWN = 65542,
  CANVAS_RIGHT_UP = 65543,
  CANVAS_MIDDLE_DOWN = 65544,
  CANVAS_MIDDLE_UP = 65545,
  CANVAS_WHEEL = 65546,
  CANVAS_KEY_DOWN = 65547,
  CANVAS_KEY_UP = 65548,
  CANVAS_CHARACTER = 65549,
};

inline constexpr std::uint32_t CANVAS_CUSTOM_CURSOR_INDEX = 254;
inline constexpr std::uint32_t CANVAS_MOUSE_INSIDE = 0x10000;

struct CanvasObject {
  GadgetObject gadget;
  HBITMAP back_buffer;
  std::uint32_t flags;
  std::uint32_t cursor_state;  // low byte: cursor index or 254; CANVAS_MOUSE_INSIDE
  HCURSOR cursor;
};
static_assert(sizeof(CanvasObject) <= GADGET_RECORD_SIZE, "the gadget registry's records must hold a canvas");

// Attached to every canvas event.
struct CanvasEventData {
  std::int32_t x;
  std::int32_t y;
  std::int32_t buttons;    // 1 left, 2 right, 4 middle
  std::int32_t key;        // virtual key of key events
  std::int32_t modifiers;  // 1 Shift, 2 Alt, 4 Control
  std::int32_t wheel;      // signed wheel steps
  std::int32_t character;  // UTF-16 unit of character events
};

// The control's window handle (number), dynamic id (AUTO_ID), or 0.
std::intptr_t canvas_create(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                            std::uint32_t flags = 0);
// Replaces the back buffer by a white one of the new size holding the old
// picture at its top-left; 0 (and the old buffer kept) on failure.
int canvas_back_buffer_resize(CanvasObject* record, std::int32_t width, std::int32_t height);
// Copies the back buffer to the control (dc null: the window's own DC).
void canvas_paint(CanvasObject* record, HDC dc);
// The canvas record under number, or null when it is no canvas.
CanvasObject* canvas_lookup(ObjectId number);
// Forgets the module state (its memory goes with the main heap).
void canvas_module_shutdown();

