// Back to a fresh user32 between tests: every window destroyed (with its
// messages), then every table emptied.
#include "platform/user32/user32_internal.h"

void user32_reset() {
  std::vector<HWND> tops = window_top_levels();
  for (HWND top : tops) DestroyWindow(top);
  for (HWND left : window_all()) window_remove(left);  // windows whose destruction was refused midway
  queue_reset();
  timer_reset();
  activation_reset();
  keyboard_reset();
  pointer_reset();
  cursor_reset();
  accelerator_reset();
  menu_reset();
  menu_keys_reset();
  class_reset();
}
