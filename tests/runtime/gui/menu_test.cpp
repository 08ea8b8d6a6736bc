#include "runtime/gui/menu.h"

#include <algorithm>
#include <string>

#include "support/application_menu.h"
#include "support/gui_runtime.h"
#include "platform/backend/headless/headless.h"
#include "runtime/graphics/canvas.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"

namespace {

std::u16string menu_text(HMENU menu, int position) {
  char16_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

int menu_events(const std::vector<SeenEvent>& events) {
  return static_cast<int>(
      std::count_if(events.begin(), events.end(), [](const SeenEvent& event) { return event.code == EVENT_MENU; }));
}

class MenuTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"IFS render by Tarnwick", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
  }

  // The application's File menu and its two shortcuts, with the events of building it gone.
  void build_menu_and_drain() {
    build_application_menu();
    gui_drain_events();
  }

  HWND window = nullptr;
};

TEST_F(MenuTest, TheApplicationsSequenceGivesOneTitleThreeItemsAndASeparator) {
  build_menu_and_drain();
  HMENU bar = GetMenu(window);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(headless_window_state(window).menu, bar) << "the display shows the bar";
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(menu_text(bar, 0), u"File");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetMenuItemID(file, 0), 0u);
  EXPECT_EQ(GetMenuItemID(file, 1), 1u);
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(file, 3), 2u);
  EXPECT_EQ(menu_text(file, 0), u"Open…\tCtrl+O");
  EXPECT_EQ(menu_text(file, 1), u"Save…\tCtrl+S");
  EXPECT_EQ(menu_text(file, 3), u"Quit\tEsc");
}

TEST_F(MenuTest, ChoosingSaveAndPressingControlSGiveTheSameEvent) {
  build_menu_and_drain();
  ASSERT_TRUE(headless_choose_menu(window, 1));
  EXPECT_EQ(gui_drain_events(), (std::vector<SeenEvent>{{EVENT_MENU, 1, 0, 0}}));
  headless_key_press(window, 'S', HEADLESS_CONTROL);
  std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_EQ(menu_events(events), 1);
  EXPECT_NE(std::find(events.begin(), events.end(), SeenEvent{EVENT_MENU, 1, 0, 0}), events.end());
  headless_key_press(window, 'O', HEADLESS_CONTROL);
  events = gui_drain_events();
  EXPECT_NE(std::find(events.begin(), events.end(), SeenEvent{EVENT_MENU, 0, 0, 0}), events.end());
}

TEST_F(MenuTest, ModifiersMustMatchExactlyAndEscapeHasNoEntry) {
  build_menu_and_drain();
  headless_key_press(window, 'S', HEADLESS_CONTROL | HEADLESS_SHIFT);
  headless_key_press(window, 'S', 0);
  headless_key_press(window, VK_ESCAPE, 0);
  EXPECT_EQ(menu_events(gui_drain_events()), 0);
}

TEST_F(MenuTest, AltAndShiftShortcutsMatchTheirOwnCombinationOnly) {
  build_menu_and_drain();
  shortcut_add(0, 0x40000 | 'X', 7);            // Alt+X
  shortcut_add(0, 0x10000 | 0x20000 | 'S', 8);  // Ctrl+Shift+S
  headless_key_press(window, 'X', HEADLESS_ALT);
  EXPECT_EQ(gui_drain_events(), (std::vector<SeenEvent>{{EVENT_MENU, 7, 0, 0}}));
  headless_key_press(window, 'S', HEADLESS_CONTROL | HEADLESS_SHIFT);
  EXPECT_EQ(gui_drain_events(), (std::vector<SeenEvent>{{EVENT_MENU, 8, 0, 0}}));
  headless_key_press(window, 'X', HEADLESS_ALT | HEADLESS_CONTROL);
  headless_key_press(window, 'X', 0);
  EXPECT_EQ(menu_events(gui_drain_events()), 0);
}

TEST_F(MenuTest, ReAddingAShortcutReplacesItsEventId) {
  build_menu_and_drain();
  WindowObject* record = window_lookup(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->shortcut_count, 4);
  HACCEL table = shortcut_add(0, CONTROL_O, 5);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(record->shortcut_count, 4);
  EXPECT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 4);
  headless_key_press(window, 'O', HEADLESS_CONTROL);
  const std::vector<SeenEvent> events = gui_drain_events();
  EXPECT_EQ(menu_events(events), 1);
  EXPECT_NE(std::find(events.begin(), events.end(), SeenEvent{EVENT_MENU, 5, 0, 0}), events.end());
  EXPECT_EQ(shortcut_add(9, CONTROL_O, 1), nullptr) << "no such window";
}

// Win32 looks an accelerator's command up in the system menu, where separators
// carry 0, and drops the key; so no native entry may carry 0, yet every event
// id, 0 and the one standing in for it included, must come back as itself.
TEST_F(MenuTest, EventIdZeroTravelsAsANonZeroCommandAndEveryIdComesBack) {
  build_menu_and_drain();
  shortcut_add(0, 0x40000 | 'Z', COMMAND_STANDS_FOR_ZERO);
  HACCEL table = shortcut_add(0, 0x40000 | 'Y', 0x10000);  // only the low 16 bits travel
  ASSERT_NE(table, nullptr);
  std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  ASSERT_EQ(CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size())), 6);
  const auto control_o = std::find_if(entries.begin(), entries.end(), [](const ACCEL& entry) {
    return entry.key == 'O' && (entry.fVirt & FCONTROL);
  });
  ASSERT_NE(control_o, entries.end());
  EXPECT_NE(control_o->cmd, 0);
  const auto menu_event_of = [&](WORD key, auto modifiers) {
    headless_key_press(window, key, modifiers);
    const std::vector<SeenEvent> events = gui_drain_events();
    EXPECT_EQ(menu_events(events), 1) << static_cast<char>(key);
    const auto found = std::find_if(events.begin(), events.end(), [](const SeenEvent& e) { return e.code == EVENT_MENU; });
    return found == events.end() ? -1 : static_cast<std::int64_t>(found->object);
  };
  EXPECT_EQ(menu_event_of('O', HEADLESS_CONTROL), 0);
  EXPECT_EQ(menu_event_of('Z', HEADLESS_ALT), COMMAND_STANDS_FOR_ZERO);
  EXPECT_EQ(menu_event_of('Y', HEADLESS_ALT), 0);
}

TEST_F(MenuTest, TabAndShiftTabMoveTheFocusAndGiveNoMenuEvent) {
  ASSERT_NE(canvas_create(1, 0, 0, 100, 100, CANVAS_KEYBOARD), 0);
  ASSERT_NE(canvas_create(2, 100, 0, 100, 100, CANVAS_KEYBOARD), 0);
  ASSERT_NE(canvas_create(3, 200, 0, 100, 100, 0), 0) << "not a tab stop";
  HWND first = gadget_lookup(1)->handle;
  HWND second = gadget_lookup(2)->handle;
  SetFocus(first);
  gui_drain_events();

  headless_key_press(window, VK_TAB, 0);
  EXPECT_EQ(menu_events(gui_drain_events()), 0);
  EXPECT_EQ(GetFocus(), second);
  headless_key_press(window, VK_TAB, 0);
  EXPECT_EQ(menu_events(gui_drain_events()), 0);
  EXPECT_EQ(GetFocus(), first) << "wraps around";
  headless_key_press(window, VK_TAB, HEADLESS_SHIFT);
  EXPECT_EQ(menu_events(gui_drain_events()), 0);
  EXPECT_EQ(GetFocus(), second);
}

TEST_F(MenuTest, ATitleAfterASubmenuStartsAtTheTopLevel) {
  ASSERT_NE(menu_create(0, window), 0);
  menu_title(u"File");
  menu_item(0, u"Open");
  menu_open_submenu(u"Recent");
  menu_item(7, u"fern.ifs");
  menu_title(u"View");
  menu_item(8, u"Zoom");
  HMENU bar = GetMenu(window);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(menu_text(bar, 1), u"View");
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 2);
  HMENU recent = GetSubMenu(GetSubMenu(bar, 0), 1);
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(GetMenuItemID(recent, 0), 7u);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 8u);
}

TEST_F(MenuTest, AMenuRecordGoesWithItsWindow) {
  ASSERT_NE(menu_create(4, window), 0);
  menu_title(u"File");
  ASSERT_NE(object_lookup(menu_registry(), 4), nullptr);
  window_close(0);
  EXPECT_EQ(object_lookup(menu_registry(), 4), nullptr);
  // Building on goes nowhere instead of into freed memory.
  menu_item(1, u"late");
}

TEST_F(MenuTest, FreeingAMenuDetachesIt) {
  ASSERT_NE(menu_create(0, window), 0);
  menu_title(u"File");
  ASSERT_NE(GetMenu(window), nullptr);
  menu_free(0);
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(object_lookup(menu_registry(), 0), nullptr);
}

}  // namespace
