// Relations between windows: parent, owner, children in z-order, enumeration,
// and the thread and process a window belongs to.
#include <unistd.h>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

std::vector<HWND>* sibling_list(Window* window) {
  if (Window* parent = window_from(window->parent)) return &parent->children;
  return &window_top_levels();
}

HWND sibling_at(std::vector<HWND>& list, HWND handle, int step) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] != handle) continue;
    long next = static_cast<long>(i) + step;
    return next >= 0 && next < static_cast<long>(list.size()) ? list[next] : nullptr;
  }
  return nullptr;
}

bool enumerate_children(Window* window, WNDENUMPROC callback, LPARAM lparam) {
  std::vector<HWND> children = window->children;
  for (HWND child : children) {
    Window* record = window_from(child);
    if (!record) continue;
    if (!callback(child, lparam)) return false;
    if ((record = window_from(child)) && !enumerate_children(record, callback, lparam)) return false;
  }
  return true;
}

}  // namespace

BOOL IsWindow(HWND handle) { return window_from(handle) ? TRUE : FALSE; }

HWND GetParent(HWND handle) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (window->style & WS_CHILD) return window->parent;
  if (window->style & WS_POPUP) return window->owner;
  return nullptr;
}

BOOL IsChild(HWND parent_handle, HWND handle) {
  Window* parent = window_from(parent_handle);
  Window* window = window_from(handle);
  if (!parent || !window || parent == window) return FALSE;
  return window_is_descendant(parent, window) ? TRUE : FALSE;
}

HWND GetDesktopWindow() { return nullptr; }

HWND GetWindow(HWND handle, UINT relation) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::vector<HWND>& siblings = *sibling_list(window);
  switch (relation) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT: return sibling_at(siblings, handle, 1);
    case GW_HWNDPREV: return sibling_at(siblings, handle, -1);
    case GW_OWNER: return window->parent ? nullptr : window->owner;
    case GW_CHILD: return window->children.empty() ? nullptr : window->children.front();
    case GW_ENABLEDPOPUP: return nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lparam) {
  if (!callback) return FALSE;
  std::vector<HWND> tops = window_top_levels();  // the callback may create or destroy windows
  for (HWND handle : tops)
    if (window_from(handle) && !callback(handle, lparam)) return FALSE;
  return TRUE;
}

BOOL EnumChildWindows(HWND parent_handle, WNDENUMPROC callback, LPARAM lparam) {
  Window* parent = window_from(parent_handle);
  if (!callback) return FALSE;
  if (!parent) return EnumWindows(callback, lparam);
  return enumerate_children(parent, callback, lparam) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD process_id) {
  if (!window_from(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // Every window belongs to the one GUI thread of this process.
  if (process_id) *process_id = GetCurrentProcessId();
  return GetCurrentThreadId();
}
