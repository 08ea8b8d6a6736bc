// CreateWindowEx: the record, its place among its siblings, and the messages a
// new window receives (WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
// WM_SIZE, WM_MOVE, then the showing of a window created visible).
#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

constexpr int DEFAULT_STEP = 26;
int default_position_count = 0;

// Overlapped windows cascade from the top-left; their size is three quarters of the screen.
void apply_defaults(bool top_level, int& x, int& y, int& width, int& height) {
  if (!top_level) {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    return;
  }
  if (x == CW_USEDEFAULT) {
    int step = DEFAULT_STEP * (1 + default_position_count++ % 8);
    x = y = step;
  }
  if (width == CW_USEDEFAULT) {
    width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
    height = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
  }
}

DWORD normalized_style(DWORD style) {
  // Overlapped windows always have a caption and clip their siblings.
  if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
  return style;
}

void clamp_to_min_max(Window* window, int& width, int& height) {
  if (!((window->style & WS_THICKFRAME) || !(window->style & (WS_POPUP | WS_CHILD)))) return;
  MINMAXINFO info{};
  info.ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
  info.ptMaxTrackSize = POINT{0x7FFF, 0x7FFF};
  SendMessageW(window->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  if (width > info.ptMaxTrackSize.x) width = info.ptMaxTrackSize.x;
  if (height > info.ptMaxTrackSize.y) height = info.ptMaxTrackSize.y;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
}

Window* make_record(WindowClass* window_class, DWORD ex_style, DWORD style, LPCWSTR title, Window* parent,
                    HWND owner, HMENU menu, HINSTANCE instance) {
  Window* window = window_add();
  window->window_class = window_class;
  window_class->window_count++;
  window->procedure = window_class->procedure;
  window->style = style & ~WS_VISIBLE;  // shown after creation, with its messages
  window->ex_style = ex_style;
  window->instance = instance;
  window->title = text_of(title);
  if (parent) {
    window->parent = parent->handle;
    window->id = reinterpret_cast<LONG_PTR>(menu);
    // A new child goes to the bottom of its siblings, so that z-order (and a
    // dialog's tab order) is creation order; a new top-level window goes on top.
    parent->children.push_back(window->handle);
  } else {
    window->owner = owner;
    window->menu = IsMenu(menu) ? menu : nullptr;
    window_top_levels().insert(window_top_levels().begin(), window->handle);
  }
  window->ui_state = parent ? parent->ui_state : 0;
  return window;
}

void notify_parents_of_creation(Window* window) {
  if (window->ex_style & WS_EX_NOPARENTNOTIFY) return;
  for (Window* parent = window_from(window->parent); parent; parent = window_from(parent->parent)) {
    SendMessageW(parent->handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, window->id),
                 reinterpret_cast<LPARAM>(window->handle));
    if (!(parent->style & WS_CHILD) || (parent->ex_style & WS_EX_NOPARENTNOTIFY)) break;
  }
}

void tell_display_created(Window* window) {
  if (window->parent) return;
  BackendWindowInfo info{};
  info.title = window->title.c_str();
  info.frame = window->rect;
  POINT origin = window_client_origin_screen(window);
  info.client = rect_make(origin.x, origin.y, origin.x + rect_width(window->client), origin.y + rect_height(window->client));
  info.style = window->style;
  info.ex_style = window->ex_style;
  info.owner = window->owner;
  backend_current()->window_created(window->handle, &info);
  // A menu given at creation is the window's menu bar from the start.
  if (window->menu) backend_current()->menu_bar_changed(window->handle, window->menu);
}

}  // namespace

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent_handle, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  WindowClass* window_class = class_lookup(class_name);
  if (!window_class) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Window* parent = window_from(parent_handle);
  if (parent_handle && !parent) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if ((style & WS_CHILD) && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  // A top-level window given a "parent" is owned by that window's top-level window.
  HWND owner = nullptr;
  if (!(style & WS_CHILD) && parent) {
    owner = window_root(parent)->handle;
    parent = nullptr;
  }
  bool visible = (style & WS_VISIBLE) != 0;
  style = normalized_style(style);
  apply_defaults(!parent, x, y, width, height);

  Window* window = make_record(window_class, ex_style, style, title, parent, owner, menu, instance);
  HWND handle = window->handle;
  clamp_to_min_max(window, width, height);
  window->rect = window_rect_clamped(x, y, width, height);
  window_update_client(window);
  if (!parent) paint_surface_fit(window);
  tell_display_created(window);

  CREATESTRUCTW create{parameter, instance, menu, parent ? parent->handle : owner, height, width, y, x,
                       static_cast<LONG>(style), title, class_name, ex_style};
  if (!SendMessageW(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!window_from(handle)) return nullptr;
  RECT calc = window->rect;
  SendMessageW(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
  if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  window = window_from(handle);
  if (!window) return nullptr;
  window_send_size_and_move(window);
  if (window_from(handle) && window_from(handle)->parent) notify_parents_of_creation(window_from(handle));
  if (visible && window_from(handle)) {
    int command = (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW;
    ShowWindow(handle, command);
  }
  return window_from(handle) ? handle : nullptr;
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  call_noted(nullptr, "CreateWindowExA", IS_INTRESOURCE(class_name) ? "(atom)" : class_name);
  std::u16string wide_class;
  LPCWSTR class_argument = reinterpret_cast<LPCWSTR>(class_name);
  if (class_name && !IS_INTRESOURCE(class_name)) {
    wide_class = text_from_utf8(class_name);
    class_argument = wide_class.c_str();
  }
  std::u16string wide_title = text_from_utf8(title);
  return CreateWindowExW(ex_style, class_argument, title ? wide_title.c_str() : nullptr, style, x, y, width, height,
                         parent, menu, instance, parameter);
}
