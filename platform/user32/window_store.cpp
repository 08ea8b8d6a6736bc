// Window handles: a table from handle values to records. Handle values are
// never reused, so a stale handle is recognised as such.
#include "platform/user32/window_store.h"

#include <algorithm>
#include <map>

namespace {

std::map<HWND, std::unique_ptr<Window>>& windows() {
  static std::map<HWND, std::unique_ptr<Window>> table;
  return table;
}

ULONG_PTR next_handle_value = 0x10020;

}  // namespace

Window* window_from(HWND handle) {
  if (!handle) return nullptr;
  auto found = windows().find(handle);
  return found == windows().end() ? nullptr : found->second.get();
}

Window* window_add() {
  auto record = std::make_unique<Window>();
  record->handle = reinterpret_cast<HWND>(next_handle_value);
  next_handle_value += 4;
  Window* window = record.get();
  windows().emplace(window->handle, std::move(record));
  return window;
}

void window_remove(HWND handle) {
  auto& tops = window_top_levels();
  tops.erase(std::remove(tops.begin(), tops.end(), handle), tops.end());
  windows().erase(handle);
}

std::vector<HWND>& window_top_levels() {
  static std::vector<HWND> order;
  return order;
}

std::vector<HWND> window_all() {
  std::vector<HWND> all;
  for (auto& entry : windows()) all.push_back(entry.first);
  return all;
}

Window* window_root(Window* window) {
  while (window && window->parent) window = window_from(window->parent);
  return window;
}

bool window_is_descendant(const Window* ancestor, const Window* window) {
  while (window) {
    if (window == ancestor) return true;
    window = window_from(window->parent);
  }
  return false;
}

bool window_is_shown(const Window* window) {
  for (; window; window = window_from(window->parent))
    if (!(window->style & WS_VISIBLE)) return false;
  return true;
}

POINT window_client_origin_in_root(const Window* window) {
  POINT origin{0, 0};
  for (; window && window->parent; window = window_from(window->parent)) {
    origin.x += window->rect.left + window->client.left;
    origin.y += window->rect.top + window->client.top;
  }
  return origin;
}

POINT window_client_origin_screen(const Window* window) {
  POINT origin = window_client_origin_in_root(window);
  const Window* root = window;
  while (root && root->parent) root = window_from(root->parent);
  if (root) {
    origin.x += root->rect.left + root->client.left;
    origin.y += root->rect.top + root->client.top;
  }
  return origin;
}
