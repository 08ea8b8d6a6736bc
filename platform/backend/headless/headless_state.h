// What the headless display knows: its clock, its windows as shown, scripted
// input and requester answers, and the record of requesters shown.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>

#include "platform/backend/headless/headless.h"

struct HeadlessWindow {
  HeadlessWindowState state;
  std::vector<BYTE> pixels;  // as last presented: B, G, R, X, rows top-down
  LONG width = 0;
  LONG height = 0;
  int presents = 0;
};

struct HeadlessScriptStep {
  BackendTime at;
  std::function<void()> deliver;
};

struct HeadlessFileAnswer {
  bool cancel;
  std::u16string path;
  DWORD filter_index;
  BackendTime open_for;
};

struct HeadlessBoxAnswer {
  int result;
  BackendTime open_for;
};

struct HeadlessMenuAnswer {
  int id;
  BackendTime open_for;
};

// The clock starts here rather than at 0, like a machine that has been up a while.
inline constexpr BackendTime HEADLESS_CLOCK_START = 100000;

struct HeadlessState {
  BackendTime now = HEADLESS_CLOCK_START;
  std::map<HWND, HeadlessWindow> windows;
  HWND foreground = nullptr;
  std::deque<HeadlessScriptStep> script;
  std::deque<HeadlessFileAnswer> file_answers;
  std::deque<HeadlessBoxAnswer> box_answers;
  std::deque<HeadlessMenuAnswer> menu_answers;
  HeadlessMenuLoops menu_loops{0, 0};
  std::vector<HeadlessRequesterRecord> shown;
  std::array<bool, 256> keys{};
  bool keep_pixels = true;
  bool display_keeps_pixels = false;
  size_t largest_display_transfer = 0;  // pixels, of any one write or read of them
  size_t display_pixels_moved = 0;      // pixels, of every write and read of them
};

HeadlessState& headless_state();
// Inserts a step into the script, after the steps due at the same time.
void headless_schedule(BackendTime at, std::function<void()> deliver);
// Keeps a requester "open" for some virtual time, dispatching the thread's messages.
void headless_keep_open(BackendTime milliseconds);
BackendDialogResult headless_run_file_dialog(BackendFileDialog* request);
int headless_run_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int headless_run_menu_bar(HWND window, BOOL by_keyboard);
// Window pixels kept by the display itself (while headless_display_keeps_window_pixels
// asks for them), and their rows for a present; null for pixels in user32's memory.
void* headless_client_pixels_make(HWND window, SIZE size, PixelSurface* surface);
void headless_client_pixels_release(void* made);
const BYTE* headless_display_rows(const PixelSurface* surface, LONG* stride);
