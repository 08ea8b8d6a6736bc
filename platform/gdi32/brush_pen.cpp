// Solid brushes and pens.
#include <new>

#include "platform/gdi32/gdi_object.h"

HBRUSH CreateSolidBrush(COLORREF colour) {
  Brush* brush = new (std::nothrow) Brush;
  if (!brush) return nullptr;
  brush->logical = LOGBRUSH{BS_SOLID, colour, 0};
  return static_cast<HBRUSH>(gdi_register(brush));
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style != PS_SOLID && style != PS_NULL) return nullptr;
  Pen* pen = new (std::nothrow) Pen;
  if (!pen) return nullptr;
  pen->logical = LOGPEN{static_cast<UINT>(style), POINT{width < 0 ? -width : width, 0}, colour};
  return static_cast<HPEN>(gdi_register(pen));
}
