// The stock objects: made once, shared by every caller, never deleted.
#include <array>

#include "platform/call_watch.h"
#include "platform/gdi32/bitmap.h"

namespace {

Brush* stock_brush(UINT style, COLORREF colour) {
  Brush* brush = new Brush;
  brush->stock = true;
  brush->logical = LOGBRUSH{style, colour, 0};
  gdi_register(brush);
  return brush;
}

Pen* stock_pen(UINT style, COLORREF colour) {
  Pen* pen = new Pen;
  pen->stock = true;
  pen->logical = LOGPEN{style, POINT{1, 0}, colour};
  gdi_register(pen);
  return pen;
}

Font* stock_font(LONG height, const char16_t* face, BYTE pitch) {
  Font* font = new Font;
  font->stock = true;
  font->logical.lfHeight = height;
  font->logical.lfWeight = FW_NORMAL;
  font->logical.lfPitchAndFamily = pitch;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) font->logical.lfFaceName[i] = face[i];
  gdi_register(font);
  return font;
}

std::array<GdiObject*, DEFAULT_GUI_FONT + 1> make_stock_objects() {
  std::array<GdiObject*, DEFAULT_GUI_FONT + 1> objects{};
  objects[WHITE_BRUSH] = stock_brush(BS_SOLID, RGB(255, 255, 255));
  objects[LTGRAY_BRUSH] = stock_brush(BS_SOLID, RGB(192, 192, 192));
  objects[GRAY_BRUSH] = stock_brush(BS_SOLID, RGB(128, 128, 128));
  objects[DKGRAY_BRUSH] = stock_brush(BS_SOLID, RGB(64, 64, 64));
  objects[BLACK_BRUSH] = stock_brush(BS_SOLID, RGB(0, 0, 0));
  objects[NULL_BRUSH] = stock_brush(BS_NULL, 0);
  objects[WHITE_PEN] = stock_pen(PS_SOLID, RGB(255, 255, 255));
  objects[BLACK_PEN] = stock_pen(PS_SOLID, RGB(0, 0, 0));
  objects[NULL_PEN] = stock_pen(PS_NULL, 0);
  objects[OEM_FIXED_FONT] = stock_font(12, u"Terminal", 1);
  objects[ANSI_FIXED_FONT] = stock_font(12, u"Courier", 1);
  objects[ANSI_VAR_FONT] = stock_font(12, u"MS Sans Serif", 2);
  objects[SYSTEM_FONT] = stock_font(16, u"System", 2);
  objects[DEVICE_DEFAULT_FONT] = stock_font(16, u"System", 2);
  objects[SYSTEM_FIXED_FONT] = stock_font(16, u"Fixedsys", 1);
  objects[DEFAULT_GUI_FONT] = stock_font(-11, u"MS Shell Dlg", 0);
  return objects;
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
  call_noted(nullptr, "GetStockObject", index);
  static const std::array<GdiObject*, DEFAULT_GUI_FONT + 1> objects = make_stock_objects();
  if (index < 0 || index >= static_cast<int>(objects.size())) return nullptr;
  return objects[index];
}
