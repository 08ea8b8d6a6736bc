#include "runtime/gui/event_loop.h"

#include <string_view>

#include "platform/win32/kernel32.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/keyboard_cues.h"
#include "runtime/gui/window.h"

namespace {

constexpr UINT PEEK_FLAGS = PM_REMOVE | PM_NOYIELD;
constexpr DWORD WAKE_MASK = QS_ALLINPUT | QS_ALLPOSTMESSAGE;
constexpr std::int32_t WAIT_FOREVER = -1;

bool key_held(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }

bool modifier_held() { return key_held(VK_CONTROL) || key_held(VK_SHIFT) || key_held(VK_MENU); }

bool belongs_to_this_process(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// A writable rich-edit control takes Tab itself instead of moving the focus.
bool rich_edit_wants_tab(HWND focus) {
  if (!focus || !key_held(VK_TAB) || modifier_held()) return false;
  char16_t class_name[64] = {};
  GetClassNameW(focus, class_name, 64);
  if (!std::u16string_view(class_name).starts_with(u"Rich")) return false;
  return !(SendMessageW(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
}

bool next_message(std::int32_t timeout_ms, MSG* message) {
  if (timeout_ms == WAIT_FOREVER) return GetMessageW(message, nullptr, 0, 0) != -1;
  if (PeekMessageW(message, nullptr, 0, 0, PEEK_FLAGS)) return true;
  if (timeout_ms == 0) return false;
  if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout_ms), WAKE_MASK) == WAIT_TIMEOUT)
    return false;
  return PeekMessageW(message, nullptr, 0, 0, PEEK_FLAGS) != 0;
}

}  // namespace

HACCEL event_loop_shortcut_table(HWND active) {
  if (!active || !GetPropW(active, PROPERTY_WINDOW_ID) || !belongs_to_this_process(active)) return nullptr;
  HWND focus = GetFocus();
  if (focus && GetPropW(focus, PROPERTY_HOTKEY)) return nullptr;
  if (rich_edit_wants_tab(focus)) return nullptr;
  if (modifier_held()) keyboard_cues_show(active);
  WindowObject* record = window_lookup(window_number_from_handle(active));
  return record ? record->shortcut_table : nullptr;
}

std::int32_t event_wait(std::int32_t timeout_ms) {
  if (const std::int32_t code = event_pop()) return code;
  MSG message{};
  if (!next_message(timeout_ms, &message)) return 0;
  HWND active = GetActiveWindow();
  HACCEL table = event_loop_shortcut_table(active);
  if (table && TranslateAcceleratorW(active, table, &message)) {
    keyboard_cues_show(active);
  } else {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<std::int32_t>(message.message);
}
