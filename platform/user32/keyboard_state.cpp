// The keyboard as the thread sees it (GetKeyState: as of the input messages
// retrieved so far), the keyboard as the display sees it (GetAsyncKeyState),
// and TranslateMessage's characters.
#include <array>

#include "platform/user32/user32_internal.h"

namespace {

constexpr BYTE KEY_DOWN = 0x80;
constexpr BYTE KEY_TOGGLED = 0x01;

struct KeyboardState {
  std::array<BYTE, 256> thread{};
  std::array<bool, 256> physical{};
};

KeyboardState& keys() {
  static KeyboardState state;
  return state;
}

// The side-specific keys also move their generic key.
UINT generic_of(UINT key) {
  switch (key) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return key;
  }
}

void set_thread_key(UINT key, bool down) {
  BYTE& entry = keys().thread[key & 0xFF];
  if (down && !(entry & KEY_DOWN)) entry ^= KEY_TOGGLED;
  entry = static_cast<BYTE>(down ? (entry | KEY_DOWN) : (entry & ~KEY_DOWN));
}

bool thread_down(UINT key) { return (keys().thread[key & 0xFF] & KEY_DOWN) != 0; }

WCHAR character_for(UINT key, bool shift, bool control, bool caps) {
  if (key >= 'A' && key <= 'Z') {
    if (control) return static_cast<WCHAR>(key - 'A' + 1);
    return static_cast<WCHAR>((shift != caps) ? key : key - 'A' + 'a');
  }
  if (key >= '0' && key <= '9') {
    if (control) return 0;
    static const char16_t shifted[] = u")!@#$%^&*(";
    return shift ? shifted[key - '0'] : static_cast<WCHAR>(key);
  }
  switch (key) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return control ? 10 : 13;
    case VK_BACK: return control ? 127 : 8;
    case VK_TAB: return control ? 0 : 9;
    case VK_ESCAPE: return 27;
    default: return 0;
  }
}

}  // namespace

void keyboard_track_message(const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
      bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
      UINT key = static_cast<UINT>(message.wParam & 0xFF);
      set_thread_key(key, down);
      if (generic_of(key) != key) set_thread_key(generic_of(key), down);
      break;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: case WM_MOUSEMOVE:
      set_thread_key(VK_LBUTTON, (message.wParam & MK_LBUTTON) != 0);
      set_thread_key(VK_RBUTTON, (message.wParam & MK_RBUTTON) != 0);
      set_thread_key(VK_MBUTTON, (message.wParam & MK_MBUTTON) != 0);
      break;
    default: break;
  }
}

void keyboard_set_physical(UINT key, bool down) {
  keys().physical[key & 0xFF] = down;
  UINT generic = generic_of(key);
  if (generic != key) keys().physical[generic] = down;
}

bool keyboard_physical_down(UINT key) { return keys().physical[key & 0xFF]; }

WPARAM mouse_key_flags() {
  WPARAM flags = 0;
  if (keyboard_physical_down(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (keyboard_physical_down(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (keyboard_physical_down(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (keyboard_physical_down(VK_SHIFT)) flags |= MK_SHIFT;
  if (keyboard_physical_down(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

void keyboard_reset() { keys() = KeyboardState{}; }

SHORT GetKeyState(int key) {
  if (key < 0 || key > 255) return 0;
  BYTE entry = keys().thread[key];
  return static_cast<SHORT>(((entry & KEY_DOWN) ? 0x8000 : 0) | (entry & KEY_TOGGLED));
}

SHORT GetAsyncKeyState(int key) {
  if (key < 0 || key > 255) return 0;
  return backend_current()->key_is_down(key) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL TranslateMessage(const MSG* message) {
  if (!message) return FALSE;
  UINT kind = message->message;
  if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN) return kind == WM_KEYUP || kind == WM_SYSKEYUP;
  bool control = thread_down(VK_CONTROL) && !thread_down(VK_MENU);
  bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  WCHAR character = character_for(static_cast<UINT>(message->wParam), thread_down(VK_SHIFT), control, caps);
  if (character)
    queue_post(message->hwnd, kind == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, character, message->lParam);
  return TRUE;
}
