#include "platform/backend/gtk/key_codes.h"

#include <gdk/gdkkeysyms.h>

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
};

}  // namespace

int key_code_from_keyval(guint keyval) {
  const guint upper = gdk_keyval_to_upper(keyval);
  if ((upper >= GDK_KEY_A && upper <= GDK_KEY_Z) || (upper >= GDK_KEY_0 && upper <= GDK_KEY_9))
    return static_cast<int>(upper);
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
