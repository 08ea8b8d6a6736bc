#include "support/application_menu.h"

#include <gtest/gtest.h>

#include "runtime/gui/menu.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"

void build_application_menu() {
  ASSERT_NE(menu_create(0, window_handle(0)), 0);
  menu_title(u"File");
  menu_item(0, u"Open…\tCtrl+O");
  menu_item(1, u"Save…\tCtrl+S");
  menu_bar();
  menu_item(2, u"Quit\tEsc");
  shortcut_add(0, CONTROL_O, 0);
  shortcut_add(0, CONTROL_S, 1);
}
