// Metrics of the non-client area and the system colours. The frame and caption
// sizes are those of a plain Windows theme, unless the display frames top-level
// windows itself; the screen size and the menu bar height come from the display.
#include "platform/backend/backend.h"
#include "platform/user32/window_store.h"

namespace {

constexpr int BORDER = 1;
constexpr int DIALOG_FRAME = 3;
constexpr int SIZING_FRAME = 4;
constexpr int CAPTION = 23;
constexpr int TOOL_CAPTION = 17;
constexpr int EDGE = 2;

int frame_inset(DWORD style, DWORD ex_style) {
  int inset = 0;
  if (style & WS_THICKFRAME) inset = SIZING_FRAME;
  else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME)) inset = DIALOG_FRAME;
  else if (style & WS_BORDER) inset = BORDER;
  if (ex_style & WS_EX_CLIENTEDGE) inset += EDGE;
  if (ex_style & WS_EX_STATICEDGE) inset += BORDER;
  return inset;
}

int caption_height(DWORD style, DWORD ex_style) {
  if ((style & WS_CAPTION) != WS_CAPTION) return 0;
  return (ex_style & WS_EX_TOOLWINDOW) ? TOOL_CAPTION : CAPTION;
}

// The thickness of each side of the non-client frame: the display's own frame
// for a top-level window where it draws one, else Windows' borders and caption.
RECT frame_sides(DWORD style, DWORD ex_style, bool child) {
  RECT sides{};
  const DisplayBackend* display = backend_current();
  if (!child && display->frame_extents && display->frame_extents(style, ex_style, &sides)) return sides;
  const int inset = frame_inset(style, ex_style);
  return RECT{inset, inset + caption_height(style, ex_style), inset, inset};
}

}  // namespace

RECT window_client_for(DWORD style, DWORD ex_style, bool has_menu, bool child, LONG width, LONG height) {
  const RECT sides = frame_sides(style, ex_style, child);
  const int top = sides.top + (has_menu && !child ? GetSystemMetrics(SM_CYMENU) : 0);
  RECT client{sides.left, top, width - sides.right, height - sides.bottom};
  // A window smaller than its frame has an empty client area at the frame's corner.
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  return client;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL has_menu, DWORD ex_style) {
  if (!rect) return FALSE;
  bool child = (style & WS_CHILD) != 0;
  const RECT sides = frame_sides(style, ex_style, child);
  const int top = sides.top + (has_menu && !child ? GetSystemMetrics(SM_CYMENU) : 0);
  // Clamped sums: a rectangle at the edge of the coordinate range stays in it.
  rect->left = rect_offset(*rect, -sides.left, 0).left;
  rect->right = rect_offset(*rect, sides.right, 0).right;
  rect->top = rect_offset(*rect, 0, -top).top;
  rect->bottom = rect_offset(*rect, 0, sides.bottom).bottom;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL has_menu) { return AdjustWindowRectEx(rect, style, has_menu, 0); }

int GetSystemMetrics(int index) {
  const DisplayBackend* display = backend_current();
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: case SM_CXVIRTUALSCREEN: return display->screen_size().cx;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return display->screen_size().cy;
    case SM_CYFULLSCREEN: return display->screen_size().cy - CAPTION;
    case SM_CXVSCROLL: case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return CAPTION;
    case SM_CXBORDER: case SM_CYBORDER: return BORDER;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return DIALOG_FRAME;
    case SM_CXFRAME: case SM_CYFRAME: return SIZING_FRAME;
    case SM_CXEDGE: case SM_CYEDGE: return EDGE;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    // The bar's height and the height callers add for it are one measured value,
    // so that a client area sized with it fits the bar exactly.
    case SM_CYMENU: case SM_CYMENUSIZE: return display->menu_bar_height();
    case SM_CXMENUSIZE: case SM_CXSIZE: case SM_CYSIZE: return CAPTION - 4;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return CAPTION + 4;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_MOUSEPRESENT: case SM_CMONITORS: return 1;
    default: return 0;
  }
}

DWORD GetSysColor(int index) {
  switch (index) {
    case COLOR_SCROLLBAR: return RGB(200, 200, 200);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION: return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION: return RGB(191, 205, 219);
    case COLOR_MENU: return RGB(240, 240, 240);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME: return RGB(100, 100, 100);
    case COLOR_MENUTEXT: case COLOR_WINDOWTEXT: case COLOR_CAPTIONTEXT: case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    default: return 0;
  }
}
