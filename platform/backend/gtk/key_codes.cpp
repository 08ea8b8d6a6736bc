#include "platform/backend/gtk/key_codes.h"

#include <gdk/gdkkeysyms.h>

#include <string_view>

#include "platform/win32/user32.h"

namespace {

struct KeyPair {
  guint keyval;
  int virtual_key;
};

// Modifiers report their generic code: accelerators and GetKeyState ask for it.
constexpr KeyPair NAMED_KEYS[] = {
    {GDK_KEY_BackSpace, VK_BACK},  {GDK_KEY_Tab, VK_TAB},          {GDK_KEY_ISO_Left_Tab, VK_TAB},
    {GDK_KEY_Return, VK_RETURN},   {GDK_KEY_KP_Enter, VK_RETURN},  {GDK_KEY_Shift_L, VK_SHIFT},
    {GDK_KEY_Shift_R, VK_SHIFT},   {GDK_KEY_Control_L, VK_CONTROL}, {GDK_KEY_Control_R, VK_CONTROL},
    {GDK_KEY_Alt_L, VK_MENU},      {GDK_KEY_Alt_R, VK_MENU},       {GDK_KEY_Pause, VK_PAUSE},
    {GDK_KEY_Caps_Lock, VK_CAPITAL}, {GDK_KEY_Escape, VK_ESCAPE},  {GDK_KEY_space, VK_SPACE},
    {GDK_KEY_Page_Up, VK_PRIOR},   {GDK_KEY_Page_Down, VK_NEXT},   {GDK_KEY_End, VK_END},
    {GDK_KEY_Home, VK_HOME},       {GDK_KEY_Left, VK_LEFT},        {GDK_KEY_Up, VK_UP},
    {GDK_KEY_Right, VK_RIGHT},     {GDK_KEY_Down, VK_DOWN},        {GDK_KEY_Insert, VK_INSERT},
    {GDK_KEY_Delete, VK_DELETE},
    // The keypad's keys with Num Lock off are the keys they stand for, as on Windows.
    {GDK_KEY_KP_Page_Up, VK_PRIOR}, {GDK_KEY_KP_Page_Down, VK_NEXT},
};

// The US layout's letters and digits by hardware key code (evdev's codes plus
// 8, as X11 and Wayland both report them).
constexpr guint16 DIGIT_ROW = 10;   // 1 ... 9, 0
constexpr guint16 TOP_ROW = 24;     // Q ... P
constexpr guint16 HOME_ROW = 38;    // A ... L
constexpr guint16 BOTTOM_ROW = 52;  // Z ... M
constexpr const char* ROWS[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr guint16 ROW_STARTS[] = {DIGIT_ROW, TOP_ROW, HOME_ROW, BOTTOM_ROW};

int latin_key(guint keyval) {
  const guint upper = gdk_keyval_to_upper(keyval);
  if ((upper >= GDK_KEY_A && upper <= GDK_KEY_Z) || (upper >= GDK_KEY_0 && upper <= GDK_KEY_9))
    return static_cast<int>(upper);
  return 0;
}

int us_layout_key(guint16 hardware_keycode) {
  for (size_t row = 0; row < 4; ++row) {
    const std::string_view keys = ROWS[row];
    if (hardware_keycode >= ROW_STARTS[row] && hardware_keycode < ROW_STARTS[row] + keys.size())
      return keys[hardware_keycode - ROW_STARTS[row]];
  }
  return 0;
}

// The Latin letter or digit the key types without Shift in any group of the keymap.
int latin_key_in_other_group(GdkKeymap* keymap, guint16 hardware_keycode) {
  GdkKeymapKey* keys = nullptr;
  guint* keyvals = nullptr;
  gint count = 0;
  if (!keymap || !gdk_keymap_get_entries_for_keycode(keymap, hardware_keycode, &keys, &keyvals, &count)) return 0;
  int found = 0;
  for (gint i = 0; i < count && !found; ++i)
    if (keys[i].level == 0) found = latin_key(keyvals[i]);
  g_free(keys);
  g_free(keyvals);
  return found;
}

}  // namespace

int key_code_from_event(GdkKeymap* keymap, guint keyval, guint16 hardware_keycode) {
  if (const int key = key_code_from_keyval(keyval)) return key;
  if (const int key = latin_key_in_other_group(keymap, hardware_keycode)) return key;
  return us_layout_key(hardware_keycode);
}

guint16 key_code_us_position(int virtual_key) {
  for (size_t row = 0; row < 4; ++row) {
    const std::string_view keys = ROWS[row];
    const size_t at = keys.find(static_cast<char>(virtual_key));
    if (virtual_key > 0 && virtual_key < 128 && at != std::string_view::npos)
      return static_cast<guint16>(ROW_STARTS[row] + at);
  }
  return 0;
}

int key_code_from_keyval(guint keyval) {
  if (const int key = latin_key(keyval)) return key;
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return VK_F1 + static_cast<int>(keyval - GDK_KEY_F1);
  for (const KeyPair& pair : NAMED_KEYS)
    if (pair.keyval == keyval) return pair.virtual_key;
  return 0;
}

int key_code_keyvals(int virtual_key, guint keyvals[2]) {
  if ((virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9')) {
    keyvals[0] = static_cast<guint>(virtual_key);
    return 1;
  }
  if (virtual_key >= VK_F1 && virtual_key < VK_F1 + 24) {
    keyvals[0] = GDK_KEY_F1 + static_cast<guint>(virtual_key - VK_F1);
    return 1;
  }
  int count = 0;
  for (const KeyPair& pair : NAMED_KEYS)
    if (pair.virtual_key == virtual_key && count < 2 && pair.keyval != GDK_KEY_ISO_Left_Tab &&
        pair.keyval != GDK_KEY_KP_Enter)
      keyvals[count++] = pair.keyval;
  return count;
}
