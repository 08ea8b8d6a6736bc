// Window device contexts over client surfaces: the internal seam between gdi32 and user32.
// Every top-level window owns one PixelSurface (user32 allocates it, the backend presents it);
// child windows draw into a rectangle of their parent's surface.
#pragma once

#include "platform/win32/types.h"

// 32-bit pixels B, G, R, X; rows top-down; stride in bytes. Owned by user32 (one per top-level window).
struct PixelSurface {
  BYTE* bits;
  LONG width;
  LONG height;
  LONG stride;
};

// A DC that draws into `surface`: logical (0,0) is `origin` in surface coordinates (a child window's
// client origin), and drawing is clipped to `clip` (surface coordinates, already intersected with the
// surface). Returned DCs are released with gdi_release_surface_dc (user32's ReleaseDC/EndPaint call it).
HDC gdi_create_surface_dc(PixelSurface* surface, POINT origin, RECT clip);
void gdi_release_surface_dc(HDC dc);
