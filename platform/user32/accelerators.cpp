// Accelerator tables and TranslateAcceleratorW: an entry matches a key-down
// message when its key matches and Shift, Ctrl and Alt are held exactly as the
// entry says, no more and no fewer.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

std::map<HACCEL, std::vector<ACCEL>>& tables() {
  static std::map<HACCEL, std::vector<ACCEL>> table;
  return table;
}

ULONG_PTR next_table = 0x30010;

bool key_down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

BYTE held_modifiers() {
  BYTE held = 0;
  if (key_down(VK_SHIFT)) held |= FSHIFT;
  if (key_down(VK_CONTROL)) held |= FCONTROL;
  if (key_down(VK_MENU)) held |= FALT;
  return held;
}

bool matches(const ACCEL& entry, const MSG& message) {
  bool key_message = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  bool char_message = message.message == WM_CHAR || message.message == WM_SYSCHAR;
  if (entry.fVirt & FVIRTKEY) {
    if (!key_message || entry.key != (message.wParam & 0xFFFF)) return false;
    return (entry.fVirt & (FSHIFT | FCONTROL | FALT)) == held_modifiers();
  }
  // Character entries: the character itself, Alt as the entry says.
  if (!char_message || entry.key != (message.wParam & 0xFFFF)) return false;
  bool alt = (message.lParam & (1L << 29)) != 0;
  return alt == ((entry.fVirt & FALT) != 0);
}

}  // namespace

HACCEL CreateAcceleratorTableW(LPACCEL entries, int count) {
  if (!entries || count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HACCEL handle = reinterpret_cast<HACCEL>(next_table);
  next_table += 4;
  tables().emplace(handle, std::vector<ACCEL>(entries, entries + count));
  return handle;
}

BOOL DestroyAcceleratorTable(HACCEL table) { return tables().erase(table) ? TRUE : FALSE; }

int CopyAcceleratorTableW(HACCEL table, LPACCEL entries, int count) {
  auto found = tables().find(table);
  if (found == tables().end()) return 0;
  int size = static_cast<int>(found->second.size());
  if (!entries) return size;
  int copied = std::min(size, count);
  for (int i = 0; i < copied; ++i) entries[i] = found->second[i];
  return copied;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG message) {
  auto found = tables().find(table);
  if (!window || !message || found == tables().end()) {
    SetLastError(found == tables().end() ? ERROR_INVALID_ACCEL_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  for (const ACCEL& entry : found->second) {
    if (!matches(entry, *message)) continue;
    // A command whose menu item is disabled is swallowed without a WM_COMMAND.
    HMENU menu = GetMenu(window);
    UINT state = menu ? GetMenuState(menu, entry.cmd, MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED))) return 1;
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}

void accelerator_reset() { tables().clear(); }
