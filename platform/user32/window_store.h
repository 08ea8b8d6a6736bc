// The records behind window handles, window classes and menus, and the
// lookups between them. Internal to user32.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi32/surface_dc.h"
#include "platform/win32/user32.h"

struct WindowClass {
  std::u16string name;
  ATOM atom;
  UINT style;
  WNDPROC procedure;
  HINSTANCE instance;
  HICON icon;
  HCURSOR cursor;
  HBRUSH background;
  int window_extra;
  int window_count;  // a class with windows cannot be unregistered
};

struct WindowProperty {
  std::u16string name;  // case-folded; integer atoms as "#n"
  HANDLE value;
};

// Pixels shown for one top-level window: its client area.
struct ClientSurface {
  PixelSurface pixels{};
  SIZE allocated{0, 0};  // what the memory holds; `pixels` may use less of it
  // The display's memory, or zeroed by calloc: the pages that nothing draws
  // on are never touched.
  std::unique_ptr<void, void (*)(void*)> storage{nullptr, std::free};
};

struct Window {
  HWND handle = nullptr;
  WindowClass* window_class = nullptr;
  WNDPROC procedure = nullptr;
  DWORD style = 0;
  DWORD ex_style = 0;
  LONG_PTR id = 0;
  LONG_PTR user_data = 0;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;  // null for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};                 // outer rectangle: screen (top-level) or parent client coordinates
  RECT client{};               // client rectangle relative to the outer rectangle's top-left
  RECT restore_rect{};         // outer rectangle to return to from minimized or maximized
  std::u16string title;
  HMENU menu = nullptr;
  std::vector<WindowProperty> properties;
  // Painting: the bounding box of what needs painting, in client coordinates.
  RECT update{};
  bool update_erase = false;
  bool internal_paint = false;
  bool painting = false;
  WORD ui_state = 0;
  bool destroying = false;
  bool size_sent = false;
  std::unique_ptr<ClientSurface> surface;  // top-level windows only
};

// --- Windows -----------------------------------------------------------------
Window* window_from(HWND handle);  // null for unknown or destroyed handles
Window* window_add();              // a new record with a fresh handle
void window_remove(HWND handle);
// Top-level windows in z-order, topmost first.
std::vector<HWND>& window_top_levels();
// Every window handle, for sweeps (order not meaningful).
std::vector<HWND> window_all();
// The top-level window a window belongs to (itself if top-level).
Window* window_root(Window* window);
bool window_is_descendant(const Window* ancestor, const Window* window);
// Visible together with all its ancestors.
bool window_is_shown(const Window* window);

// --- Classes -----------------------------------------------------------------
WindowClass* class_find(const std::u16string& name);
WindowClass* class_find_atom(ATOM atom);
// By name or by integer atom (MAKEINTATOM).
WindowClass* class_lookup(LPCWSTR name);

// --- Texts -----------------------------------------------------------------------
std::u16string text_from_utf8(LPCSTR text);
std::u16string text_of(LPCWSTR text);  // null -> empty
// Case-insensitive key for atoms (class names, property names, registered messages).
std::u16string text_fold(const std::u16string& text);

// --- Geometry ---------------------------------------------------------------------
RECT rect_make(LONG left, LONG top, LONG right, LONG bottom);
LONG rect_width(const RECT& rect);
LONG rect_height(const RECT& rect);
RECT rect_intersection(const RECT& a, const RECT& b);
bool rect_is_empty(const RECT& rect);
RECT rect_bounds(const RECT& a, const RECT& b);  // union of two, empty ones ignored
RECT rect_offset(RECT rect, LONG dx, LONG dy);
// A window's outer rectangle from position and size, kept in the 16-bit range
// Win32 keeps window coordinates in, so that sums of them cannot overflow.
RECT window_rect_clamped(int x, int y, int width, int height);

// Client rectangle (relative to the window's top-left) for a window of this
// size, style and menu.
RECT window_client_for(DWORD style, DWORD ex_style, bool has_menu, bool child, LONG width, LONG height);
// The window's client origin in screen coordinates.
POINT window_client_origin_screen(const Window* window);
// The window's client origin in its top-level window's client coordinates.
POINT window_client_origin_in_root(const Window* window);
