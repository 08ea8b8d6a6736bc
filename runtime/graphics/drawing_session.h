// Drawing sessions: one target pixel buffer with its colours, drawing mode and operations.
// An output call (image_output, canvas_output) prepares a session and makes it current;
// drawing_begin starts it, the primitives draw into it, drawing_end lets the output finish
// and frees it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/gdi32.h"
#include "runtime/core/registry.h"

// Pixel format word.
inline constexpr std::uint32_t FORMAT_BGR24 = 0x10;
inline constexpr std::uint32_t FORMAT_BGRA32 = 0x40;
inline constexpr std::uint32_t FORMAT_BOTTOM_UP = 0x8000;

// Drawing mode bits (drawing_mode_set); sessions start in mode 0, which stores the colour.
inline constexpr int DRAWING_MODE_XOR = 0x2;
inline constexpr int DRAWING_MODE_OUTLINED = 0x4;
inline constexpr int DRAWING_MODE_ALPHA_CHANNEL = 0x8;
inline constexpr int DRAWING_MODE_ALPHA_BLEND = 0x10;
inline constexpr int DRAWING_MODE_ALPHA_CLIP = 0x20;
inline constexpr int DRAWING_MODE_GRADIENT = 0x40;
inline constexpr int DRAWING_MODE_CUSTOM = 0x80;
inline constexpr int DRAWING_MODE_ALL_CHANNELS = 0x100;

struct DrawingSession;

// Writes `count` pixels starting at `first`, moving `step` bytes between them.
using SpanWriter = void (*)(const DrawingSession* session, BYTE* first, int count, std::ptrdiff_t step);

// The session's operations, in table order; facilities this runtime does not have are left out.
struct DrawingOperations {
  void (*set_back_colour)(DrawingSession* session, std::uint32_t colour);
  void (*box)(DrawingSession* session, int x, int y, int width, int height);
  void (*set_mode)(DrawingSession* session, int mode);
  void (*draw_image)(DrawingSession* session, std::intptr_t handle, int x, int y);
  void (*set_front_colour)(DrawingSession* session, std::uint32_t colour);
  void (*plot)(DrawingSession* session, int x, int y);
  void (*plot_colour)(DrawingSession* session, int x, int y, std::uint32_t colour);
  std::uint32_t (*read_pixel)(DrawingSession* session, int x, int y);
  std::intptr_t (*begin)(DrawingSession* session);
  void (*end)(DrawingSession* session);
  // Set by the output call: finishes the output (flag 1 after drawing, 0 after a failed begin).
  void (*release)(DrawingSession* session, int flag);
};

struct ColourComponents {
  std::int32_t red, green, blue;  // multiplied by alpha while the session premultiplies
  std::int32_t alpha, inverse;    // inverse = 255 - alpha
};

// What the point plotter needs, kept together and computed from the session's fields
// by drawing_begin, drawing_mode_set and drawing_origin_set: a 1 x 1 box then costs a few loads,
// one unsigned compare per axis and no branch on the row order.
struct PlotTarget {
  BYTE* top_row;                // address of the picture's row 0 (the last memory row when bottom-up)
  std::ptrdiff_t row_step;      // bytes from one picture row to the next: negative when bottom-up
  std::uint32_t width, height;  // unsigned, so that negative coordinates fail the same compare
  std::int32_t pixel_bytes;
  bool stores_directly;  // begun, mode 0, no origin, the plain box operation: a point is 3 stored bytes
};

struct DrawingSession {
  DrawingOperations operations;
  // Size and position.
  std::int32_t width, height;  // the drawing area
  std::int32_t depth;          // 24 or 32
  std::int32_t origin_x, origin_y;  // changed through drawing_origin_set
  std::int32_t full_width, full_height;
  std::int32_t user_origin_x, user_origin_y;
  // Colours, 0xAABBGGRR.
  std::uint32_t gradient_colours[2];
  std::uint32_t front_colour, back_colour;
  // Pixel buffer.
  BYTE* buffer;  // first byte of the drawing area's first row in memory
  std::int32_t row_size;
  std::uint32_t pixel_format;
  std::int32_t pixel_bytes;  // 3 or 4
  std::int32_t mode;
  bool premultiply;
  bool gradient_pixels, custom_pixels;
  bool bottom_up;
  BYTE* full_buffer;
  SpanWriter span_writer;  // the mode's pixel operation
  ColourComponents front, back;
  PlotTarget plot_target;
  // Text state.
  HDC text_dc;
  HGDIOBJ text_previous_font;
  // Output state.
  bool returns_buffer;  // drawing_begin hands out the buffer address instead of the DC
  HDC memory_dc;
  DWORD saved_batch_limit;
  HBITMAP temporary_bitmap;  // copied back into the target at the end, when set
  HBITMAP target_bitmap;
  ObjectId canvas_number;
};

// Allocates the drawing library's thread-local slot; false when none is left.
bool drawing_library_init();
// The thread-local slot holding a copy of the current session (TLS_OUT_OF_INDEXES before init).
DWORD drawing_library_slot();

// A zeroed session from the main heap for this pixel format, made current; null on failure.
// A session still current is ended first, so that it cannot leak.
DrawingSession* drawing_session_create(std::uint32_t pixel_format);
void drawing_mode_set(DrawingSession* session, int mode);
// Moves the point (0, 0) of every primitive to (x, y); the origin is changed only here,
// so that the plot target follows it.
void drawing_origin_set(DrawingSession* session, int x, int y);
// The output's memory DC (or buffer address) on success, 0 on failure (the session is then gone).
std::intptr_t drawing_begin(DrawingSession* session);
void drawing_end();
// The current session lives here so that the inline point plotter reads it
// without a call; everything else goes through drawing_current().
extern DrawingSession* drawing_current_session;
inline DrawingSession* drawing_current() { return drawing_current_session; }

// Session on an image; null when the number names no image with pixel memory.
DrawingSession* image_output(ObjectId number);
