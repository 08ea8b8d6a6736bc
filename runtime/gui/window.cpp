#include "runtime/gui/window.h"

#include <algorithm>

#include "platform/win32/kernel32.h"
#include "platform/win32/ole32.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/gadget_list.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window_class_name.h"
#include "runtime/gui/window_flags.h"
#include "runtime/gui/window_proc.h"

namespace {

constexpr std::int32_t WINDOW_REGISTRY_GROWTH = 16;
constexpr WORD PROGRAM_ICON_RESOURCE = 1;
// COLOR_BTNFACE + 1: the class background is the system button colour.
constexpr std::intptr_t CLASS_BACKGROUND_BRUSH = COLOR_BTNFACE + 1;

ObjectRegistry* registry = nullptr;
HICON program_icon = nullptr;
HCURSOR arrow_cursor = nullptr;

HINSTANCE module_instance() { return GetModuleHandleW(nullptr); }

void register_window_class(const std::u16string& class_name) {
  WNDCLASSW window_class{};
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = module_instance();
  window_class.hIcon = program_icon;
  window_class.hCursor = arrow_cursor;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(CLASS_BACKGROUND_BRUSH);
  window_class.lpszClassName = class_name.c_str();
  RegisterClassW(&window_class);  // a failure shows as a failed creation
}

int show_command(const WindowFlags& flags) {
  if (flags.style & WS_MAXIMIZE) return flags.no_activate ? SW_SHOWNA : SW_SHOWMAXIMIZED;
  if (flags.style & WS_MINIMIZE) return flags.no_activate ? SW_SHOWMINNOACTIVE : SW_SHOWMINIMIZED;
  return flags.no_activate ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL;
}

SIZE outer_size(const WindowFlags& flags, std::int32_t inner_width, std::int32_t inner_height) {
  RECT frame{0, 0, inner_width, inner_height};
  AdjustWindowRectEx(&frame, window_flags_frame_style(flags.style), FALSE, flags.ex_style);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// Both coordinates go to the system when none is given (y alone may be left
// out when the window is centred anyway).
POINT initial_position(std::int32_t x, std::int32_t y, std::uint32_t style) {
  const bool centred = style & (WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT);
  if (x == COORD_IGNORE || (y == COORD_IGNORE && !centred)) return POINT{CW_USEDEFAULT, CW_USEDEFAULT};
  return POINT{x, y};
}

void fail_open(ObjectId id, const std::u16string& class_name) {
  UnregisterClassW(class_name.c_str(), module_instance());
  object_release(registry, id);
}

std::int32_t centred(std::int32_t available, std::int32_t size) { return (available - std::min(available, size)) / 2; }

}  // namespace

void window_library_init() {
  registry = registry_create(sizeof(WindowObject), WINDOW_REGISTRY_GROWTH, window_close);
  program_icon = LoadIconW(module_instance(), MAKEINTRESOURCEW(PROGRAM_ICON_RESOURCE));
  arrow_cursor = LoadCursorW(nullptr, IDC_ARROW);
}

void window_library_shutdown() {
  if (registry) registry_free_all(registry);
  registry = nullptr;
}

ObjectRegistry* window_registry() { return registry; }

WindowObject* window_lookup(ObjectId number) {
  return registry ? static_cast<WindowObject*>(object_lookup(registry, number)) : nullptr;
}

std::intptr_t window_open(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t inner_width,
                          std::int32_t inner_height, const char16_t* title, std::uint32_t flags, HWND parent) {
  auto* record = registry ? static_cast<WindowObject*>(object_allocate(registry, number)) : nullptr;
  if (!record) return 0;
  const ObjectId id = number == AUTO_ID ? dynamic_id_of(record) : number;
  const std::u16string class_name = window_class_name(id);
  register_window_class(class_name);
  const WindowFlags decoded = window_flags_decode(flags);
  const SIZE size = outer_size(decoded, inner_width, inner_height);
  const POINT position = initial_position(x, y, decoded.style);
  HWND handle = CreateWindowExW(decoded.ex_style, class_name.c_str(), title ? title : u"",
                                window_flags_create_style(decoded.style), position.x, position.y, size.cx, size.cy,
                                parent, nullptr, module_instance(), nullptr);
  if (!handle) {
    fail_open(id, class_name);
    return 0;
  }
  record->handle = handle;
  if (decoded.style & (WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT)) window_centre(handle, decoded.style, parent);
  if (decoded.show) ShowWindow(handle, show_command(decoded));
  record->min_max_state = (decoded.style & (WS_MINIMIZE | WS_MAXIMIZE)) ? 1 : 0;
  shortcut_table_init(record);
  if (decoded.become_container) gadget_list_use(handle);
  SetPropW(handle, PROPERTY_WINDOW_ID, reinterpret_cast<HANDLE>(id + 1));
  return number == AUTO_ID ? id : reinterpret_cast<std::intptr_t>(handle);
}

void window_close(ObjectId number) {
  if (number == AUTO_ID) {
    if (registry) registry_free_all(registry);
    return;
  }
  WindowObject* record = window_lookup(number);
  if (!record) return;
  HWND handle = record->handle;
  if (HWND owner = GetWindow(handle, GW_OWNER)) SetActiveWindow(owner);
  RemovePropW(handle, PROPERTY_WINDOW_ID);
  if (RemovePropW(handle, PROPERTY_DROP_ACCEPT)) RevokeDragDrop(handle);
  DestroyWindow(handle);
  UnregisterClassW(window_class_name(number).c_str(), module_instance());
  shortcut_table_free(record);
  event_purge_window(number);
  object_release(registry, number);
}

HWND window_handle(ObjectId number) {
  WindowObject* record = window_lookup(number);
  return record ? record->handle : nullptr;
}

ObjectId window_number_from_handle(HWND handle) {
  return reinterpret_cast<ObjectId>(GetPropW(handle, PROPERTY_WINDOW_ID)) - 1;
}

HWND window_root_handle(HWND handle) {
  HWND topmost = handle;
  for (HWND window = handle; window; window = GetParent(window)) {
    if (GetPropW(window, PROPERTY_WINDOW_ID)) return window;
    topmost = window;
  }
  return topmost;
}

void window_centre(HWND handle, std::uint32_t flags, HWND parent) {
  RECT frame{};
  GetWindowRect(handle, &frame);
  const std::int32_t width = frame.right - frame.left;
  const std::int32_t height = frame.bottom - frame.top;
  HWND reference = parent ? parent : GetActiveWindow();
  std::int32_t x = 0;
  std::int32_t y = 0;
  if ((flags & WINDOW_CENTRE_PARENT) && reference && reference != handle) {
    RECT around{};
    GetWindowRect(reference, &around);
    x = std::max(0, around.left + (around.right - around.left - width) / 2);
    y = std::max(0, around.top + (around.bottom - around.top - height) / 2);
  } else {
    // Flag 1, and flag 2 with nothing to centre on: the screen.
    x = centred(GetSystemMetrics(SM_CXSCREEN), width);
    y = centred(GetSystemMetrics(SM_CYSCREEN), height);
  }
  SetWindowPos(handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::intptr_t timer_add(ObjectId window, UINT_PTR timer_id, UINT interval_ms) {
  WindowObject* record = window_lookup(window);
  return record ? static_cast<std::intptr_t>(SetTimer(record->handle, timer_id, interval_ms, nullptr)) : 0;
}

bool window_title_set(ObjectId number, const char16_t* title) {
  const HWND handle = window_handle(number);
  return handle && SetWindowTextW(handle, title ? title : u"") != FALSE;
}
