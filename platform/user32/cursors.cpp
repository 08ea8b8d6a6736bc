// Standard cursors and icons, the current cursor and its confinement. There
// are no resources in this program, so only the system's standard cursors
// and icons (loaded with a null instance) exist.
#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

struct StandardImage {
  WORD id;
  int kind;  // the handle points at this record
};

// Standard cursor ids (IDC_*) and icon ids (IDI_*), one record each.
StandardImage standard_cursors[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32642, 0},
                                    {32643, 0}, {32644, 0}, {32645, 0}, {32646, 0}, {32648, 0}, {32649, 0},
                                    {32650, 0}, {32651, 0}};
StandardImage standard_icons[] = {{32512, 1}, {32513, 1}, {32514, 1}, {32515, 1}, {32516, 1}, {32517, 1}, {32518, 1}};

struct CursorState {
  HCURSOR current = nullptr;
  bool clipped = false;
  RECT clip{};
};

CursorState& cursor() {
  static CursorState state;
  return state;
}

template <size_t N>
HICON find_standard(StandardImage (&table)[N], HINSTANCE instance, LPCWSTR name) {
  if (!instance && IS_INTRESOURCE(name)) {
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    for (StandardImage& entry : table)
      if (entry.id == id) return reinterpret_cast<HICON>(&entry);
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  call_noted(nullptr, "LoadCursorW", name);
  return find_standard(standard_cursors, instance, name);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  call_noted(nullptr, "LoadIconW", name);
  return find_standard(standard_icons, instance, name);
}

HCURSOR SetCursor(HCURSOR handle) {
  HCURSOR previous = cursor().current;
  cursor().current = handle;
  return previous;
}

HCURSOR GetCursor() { return cursor().current; }

BOOL ClipCursor(const RECT* rect) {
  if (!rect) {
    cursor().clipped = false;
    return TRUE;
  }
  RECT screen = rect_make(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  cursor().clip = rect_intersection(*rect, screen);
  cursor().clipped = true;
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (!rect) return FALSE;
  *rect = cursor().clipped ? cursor().clip : rect_make(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = cursor_position();
  return TRUE;
}

void cursor_reset() { cursor() = CursorState{}; }
