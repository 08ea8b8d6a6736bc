// Window device contexts over client surfaces: the internal seam between gdi32 and user32.
// Every top-level window owns one PixelSurface (user32 allocates it, the backend presents it);
// child windows draw into a rectangle of their parent's surface.
#pragma once

#include "platform/win32/types.h"

// Pixels the display keeps on its side (an X server's pixmap), as a display
// driver's surface on Windows: GDI reaches them only through these calls, a
// band of rows at a time, so that drawing a window needs no copy of its
// pixels in the program. Rectangles lie inside the surface; `pixels` holds
// the rectangle's rows of 32-bit B, G, R, X pixels, `stride` bytes apart.
struct SurfaceDevice {
  void (*write)(void* device, const RECT* area, const BYTE* pixels, LONG stride);
  void (*read)(void* device, const RECT* area, BYTE* pixels, LONG stride);
  void (*fill)(void* device, const RECT* area, COLORREF colour);
};

// 32-bit pixels B, G, R, X; rows top-down; stride in bytes. Owned by user32 (one per top-level window).
// Either `bits` addresses them, or they lie with `device` (and `bits` is null).
struct PixelSurface {
  BYTE* bits;
  LONG width;
  LONG height;
  LONG stride;
  const SurfaceDevice* device = nullptr;
  void* device_data = nullptr;
};

// A DC that draws into `surface`: logical (0,0) is `origin` in surface coordinates (a child window's
// client origin), and drawing is clipped to `clip` (surface coordinates, already intersected with the
// surface). Returned DCs are released with gdi_release_surface_dc (user32's ReleaseDC/EndPaint call it).
HDC gdi_create_surface_dc(PixelSurface* surface, POINT origin, RECT clip);
void gdi_release_surface_dc(HDC dc);
