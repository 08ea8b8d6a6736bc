// The headless display: windows exist only as records of what a screen would
// show, time is a virtual clock, and input comes from tests.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend/headless/headless_state.h"
#include "platform/backend/input.h"
#include "platform/win32/user32.h"

namespace {

constexpr SIZE SCREEN{1920, 1080};
constexpr int MENU_BAR_HEIGHT = 20;

HeadlessWindow* known(HWND window) {
  auto found = headless_state().windows.find(window);
  return found == headless_state().windows.end() ? nullptr : &found->second;
}

BackendTime now() { return headless_state().now; }

// Delivers the next scripted step if it is due by `deadline`; otherwise the
// clock moves on to the deadline, as if the user did nothing until then.
void wait_for_input(BackendTime deadline) {
  HeadlessState& state = headless_state();
  if (!state.script.empty() && std::max(state.script.front().at, state.now) <= std::max(deadline, state.now)) {
    HeadlessScriptStep step = std::move(state.script.front());
    state.script.pop_front();
    state.now = std::max(state.now, step.at);
    step.deliver();
    return;
  }
  if (deadline == BACKEND_NO_DEADLINE) {
    std::fprintf(stderr, "headless display: the program waits for input, but none is scripted and no timer runs\n");
    std::abort();
  }
  state.now = std::max(state.now, deadline);
}

void window_created(HWND window, const BackendWindowInfo* info) {
  HeadlessWindow& record = headless_state().windows[window];
  record = HeadlessWindow{};
  record.state.exists = TRUE;
  record.state.enabled = (info->style & WS_DISABLED) ? FALSE : TRUE;
  record.state.title = info->title;
  record.state.frame = info->frame;
  record.state.client = info->client;
}

void window_shown(HWND window, BOOL visible) {
  if (HeadlessWindow* record = known(window)) record->state.visible = visible;
}

void window_moved(HWND window, const RECT* frame, const RECT* client) {
  if (HeadlessWindow* record = known(window)) {
    record->state.frame = *frame;
    record->state.client = *client;
  }
}

void window_retitled(HWND window, LPCWSTR title) {
  if (HeadlessWindow* record = known(window)) record->state.title = title ? title : u"";
}

void window_enabled(HWND window, BOOL enabled) {
  if (HeadlessWindow* record = known(window)) record->state.enabled = enabled;
}

void window_activated(HWND window) { headless_state().foreground = window; }

void window_destroyed(HWND window) {
  headless_state().windows.erase(window);
  if (headless_state().foreground == window) headless_state().foreground = nullptr;
}

void menu_bar_changed(HWND window, HMENU menu) {
  if (HeadlessWindow* record = known(window)) record->state.menu = menu;
}

void surface_presented(HWND window, const PixelSurface* surface, const RECT* dirty) {
  HeadlessWindow* record = known(window);
  if (!record || !surface) return;
  LONG stride = surface->stride;
  const BYTE* rows = surface->bits ? surface->bits : headless_display_rows(surface, &stride);
  if (!rows) return;
  record->presents++;
  if (!headless_state().keep_pixels) {
    record->width = surface->width;
    record->height = surface->height;
    return;
  }
  RECT area = *dirty;
  if (record->width != surface->width || record->height != surface->height || record->pixels.empty()) {
    // A new size: the screen shows the whole surface afresh.
    record->width = surface->width;
    record->height = surface->height;
    record->pixels.assign(static_cast<size_t>(surface->width) * surface->height * 4, 0);
    area = RECT{0, 0, surface->width, surface->height};
  }
  area.left = std::clamp<LONG>(area.left, 0, surface->width);
  area.right = std::clamp<LONG>(area.right, area.left, surface->width);
  area.top = std::clamp<LONG>(area.top, 0, surface->height);
  area.bottom = std::clamp<LONG>(area.bottom, area.top, surface->height);
  size_t bytes = static_cast<size_t>(area.right - area.left) * 4;
  for (LONG y = area.top; y < area.bottom; ++y)
    std::memcpy(record->pixels.data() + (static_cast<size_t>(y) * record->width + area.left) * 4,
                rows + static_cast<size_t>(y) * stride + static_cast<size_t>(area.left) * 4, bytes);
}

BOOL screen_keeps_pixels() { return headless_state().keep_pixels ? TRUE : FALSE; }

void accept_drops(HWND window, BOOL accept) {
  if (HeadlessWindow* record = known(window)) record->state.accepts_drops = accept;
}

SIZE screen_size() { return SCREEN; }
int menu_bar_height() { return MENU_BAR_HEIGHT; }
BOOL frame_extents(DWORD, DWORD, RECT*) { return FALSE; }

BOOL key_is_down(int key) { return key >= 0 && key < 256 && headless_state().keys[key] ? TRUE : FALSE; }

const DisplayBackend HEADLESS{
    .name = "headless",
    .now = now,
    .wait_for_input = wait_for_input,
    .window_created = window_created,
    .window_shown = window_shown,
    .window_moved = window_moved,
    .window_retitled = window_retitled,
    .window_enabled = window_enabled,
    .window_activated = window_activated,
    .window_destroyed = window_destroyed,
    .menu_bar_changed = menu_bar_changed,
    .client_pixels_make = headless_client_pixels_make,
    .client_pixels_release = headless_client_pixels_release,
    .surface_presented = surface_presented,
    .screen_keeps_pixels = screen_keeps_pixels,
    .run_file_dialog = headless_run_file_dialog,
    .run_message_box = headless_run_message_box,
    .run_menu_bar = headless_run_menu_bar,
    .accept_drops = accept_drops,
    .screen_size = screen_size,
    .menu_bar_height = menu_bar_height,
    .frame_extents = frame_extents,
    .key_is_down = key_is_down,
};

}  // namespace

const DisplayBackend* backend_headless() { return &HEADLESS; }

HeadlessState& headless_state() {
  static HeadlessState state;
  return state;
}

void headless_reset() { headless_state() = HeadlessState{}; }

void headless_keep_presented_pixels(BOOL keep) {
  HeadlessState& state = headless_state();
  const bool exposed = keep && !state.keep_pixels;
  state.keep_pixels = keep != FALSE;
  // What is kept from now on starts from a fresh screen, not from a stale one.
  std::vector<HWND> windows;
  for (auto& [window, record] : state.windows) {
    record.pixels.clear();
    record.width = 0;
    record.height = 0;
    windows.push_back(window);
  }
  // Nothing was drawn while nobody looked: the windows paint afresh.
  if (exposed)
    for (HWND window : windows) input_window_exposed(window);
}

BackendTime headless_now() { return headless_state().now; }

void headless_advance_clock(BackendTime milliseconds) { headless_state().now += milliseconds; }

void headless_keep_open(BackendTime milliseconds) { headless_run_for(milliseconds); }

void headless_run_for(BackendTime milliseconds) {
  HeadlessState& state = headless_state();
  BackendTime end = state.now + milliseconds;
  input_dispatch_pending();
  // Each timer that falls due inside the span fires at its own moment.
  for (int steps = 0; steps < 100000; ++steps) {
    BackendTime next = input_next_timer_due();
    if (next == BACKEND_NO_DEADLINE || next > end) break;
    state.now = std::max(state.now, next);
    input_dispatch_pending();
  }
  state.now = std::max(state.now, end);
  input_dispatch_pending();
}

HeadlessWindowState headless_window_state(HWND window) {
  HeadlessWindow* record = known(window);
  return record ? record->state : HeadlessWindowState{};
}

HWND headless_foreground_window() { return headless_state().foreground; }

COLORREF headless_surface_pixel(HWND window, int x, int y) {
  HeadlessWindow* record = known(window);
  if (!record || record->pixels.empty() || x < 0 || y < 0 || x >= record->width || y >= record->height)
    return 0xFFFFFFFF;
  const BYTE* pixel = record->pixels.data() + (static_cast<size_t>(y) * record->width + x) * 4;
  return RGB(pixel[2], pixel[1], pixel[0]);
}

SIZE headless_surface_size(HWND window) {
  HeadlessWindow* record = known(window);
  return record ? SIZE{record->width, record->height} : SIZE{0, 0};
}

int headless_present_count(HWND window) {
  HeadlessWindow* record = known(window);
  return record ? record->presents : 0;
}
