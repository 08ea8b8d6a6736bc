// GDI objects behind the handles: every handle is the address of one of these records, and the
// table of live objects is what tells a valid handle from a stale or made-up one.
#pragma once

#include <vector>

#include "platform/gdi32/surface_dc.h"
#include "platform/win32/gdi32.h"

enum class GdiKind { BITMAP, BRUSH, PEN, FONT, DC, ICON };

struct GdiObject {
  explicit GdiObject(GdiKind object_kind) : kind(object_kind) {}
  virtual ~GdiObject() = default;
  GdiKind kind;
  bool stock = false;
  int select_count = 0;  // device contexts this object is selected into
};

struct DeviceContext;

struct Bitmap : GdiObject {
  Bitmap() : GdiObject(GdiKind::BITMAP) {}
  ~Bitmap() override;
  LONG width = 0;
  LONG height = 0;
  WORD bits_per_pixel = 0;
  LONG stride = 0;
  bool is_dib = false;
  bool top_down = false;
  BYTE* bits = nullptr;  // owned, zero-filled at creation
  std::vector<RGBQUAD> colours;  // colour table of 1-, 4- and 8-bit pixels
  BITMAPINFOHEADER header{};  // as given to CreateDIBSection (DIB sections only)
  DeviceContext* selected_in = nullptr;
};

struct Brush : GdiObject {
  Brush() : GdiObject(GdiKind::BRUSH) {}
  LOGBRUSH logical{};
};

struct Pen : GdiObject {
  Pen() : GdiObject(GdiKind::PEN) {}
  LOGPEN logical{};
};

struct Font : GdiObject {
  Font() : GdiObject(GdiKind::FONT) {}
  LOGFONTW logical{};
};

struct DeviceContext : GdiObject {
  DeviceContext() : GdiObject(GdiKind::DC) {}
  bool memory = false;
  Bitmap* bitmap = nullptr;  // memory DCs only
  Brush* brush = nullptr;
  Pen* pen = nullptr;
  Font* font = nullptr;
  PixelSurface* surface = nullptr;  // window DCs only
  POINT origin{};
  RECT clip{};
  COLORREF text_colour = 0x000000;
  COLORREF back_colour = 0xFFFFFF;
};

struct Icon : GdiObject {
  Icon() : GdiObject(GdiKind::ICON) {}
  ~Icon() override;
  ICONINFO info{};  // the icon's own copies of the mask and colour bitmaps
};

// Enters a new object into the table of live objects and returns its handle value.
void* gdi_register(GdiObject* object);
// Removes the object from the table and frees it.
void gdi_destroy(GdiObject* object);
// The live object behind `handle` if it is of `kind`, else null.
GdiObject* gdi_lookup(const void* handle, GdiKind kind);
GdiObject* gdi_lookup_any(const void* handle);

inline Bitmap* bitmap_from(const void* handle) { return static_cast<Bitmap*>(gdi_lookup(handle, GdiKind::BITMAP)); }
inline DeviceContext* dc_from(const void* handle) { return static_cast<DeviceContext*>(gdi_lookup(handle, GdiKind::DC)); }
inline Brush* brush_from(const void* handle) { return static_cast<Brush*>(gdi_lookup(handle, GdiKind::BRUSH)); }
