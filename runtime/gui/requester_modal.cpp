#include <vector>

#include "platform/win32/kernel32.h"
#include "runtime/gui/requester.h"

namespace {

struct ModalEntry {
  DWORD thread_id;
  HWND window;
  bool was_topmost;
  bool was_enabled;
};

std::vector<ModalEntry> modal_list;

BOOL note_window(HWND window, LPARAM) {
  const DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) != thread || !IsWindowVisible(window)) return TRUE;
  ModalEntry entry{thread, window, (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, false};
  if (window != GetForegroundWindow() && IsWindowEnabled(window)) {
    entry.was_enabled = true;
    EnableWindow(window, FALSE);
  }
  modal_list.push_back(entry);
  return TRUE;
}

void set_topmost(HWND window, HWND order) { SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

}  // namespace

void requester_modal_begin() {
  EnumWindows(note_window, 0);
  const DWORD thread = GetCurrentThreadId();
  for (const ModalEntry& entry : modal_list)
    if (entry.thread_id == thread && entry.was_topmost) set_topmost(entry.window, HWND_NOTOPMOST);
}

void requester_modal_end() {
  const DWORD thread = GetCurrentThreadId();
  std::vector<ModalEntry> others;
  for (const ModalEntry& entry : modal_list) {
    if (entry.thread_id != thread) {
      others.push_back(entry);
      continue;
    }
    if (entry.was_enabled) EnableWindow(entry.window, TRUE);
    if (entry.was_topmost) set_topmost(entry.window, HWND_TOPMOST);
  }
  modal_list.swap(others);
}
