// The keyboard's way into the menu bar, as DefWindowProc gives it: F10, or Alt
// pressed and released alone, enters the menu's modal loop with Win32's
// messages, and the item chosen there arrives as a posted WM_COMMAND.
#include "platform/backend/headless/headless.h"
#include "support/window_session.h"

namespace {

using MenuLoop = WindowSession;

constexpr UINT QUIT_ID = 12;

// A foreground window with the menu File: Open (11), a separator, Quit (12).
HWND window_with_menu() {
  HWND window = create_foreground_window(200, 100);
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 11, u"Open");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, QUIT_ID, u"Quit");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File");
  SetMenu(window, bar);
  pump_messages();
  clear_message_log();
  return window;
}

const std::vector<UINT> MENU_MESSAGES{WM_SYSCOMMAND, WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP,
                                      WM_MENUSELECT, WM_MENUSELECT,   WM_EXITMENULOOP};

std::vector<LoggedMessage> logged(UINT message) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.message == message) found.push_back(m);
  return found;
}

std::vector<UINT> menu_loop_messages(HWND window) {
  std::vector<UINT> ids;
  for (UINT id : logged_ids(window))
    if (id == WM_SYSCOMMAND || id == WM_ENTERMENULOOP || id == WM_INITMENU || id == WM_INITMENUPOPUP ||
        id == WM_MENUSELECT || id == WM_EXITMENULOOP || id == WM_COMMAND)
      ids.push_back(id);
  return ids;
}

TEST_F(MenuLoop, F10AndAltAloneEnterTheMenuLoopAndTheChoiceIsPostedAsACommand) {
  HWND window = window_with_menu();
  for (UINT key : {VK_F10, VK_MENU}) {
    clear_message_log();
    headless_answer_menu(QUIT_ID);
    headless_key_press(window, key, 0);
    pump_messages();
    std::vector<UINT> expected = MENU_MESSAGES;
    expected.push_back(WM_COMMAND);
    EXPECT_EQ(menu_loop_messages(window), expected) << "key " << key;
    const std::vector<LoggedMessage> system = logged(WM_SYSCOMMAND);
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].wparam & 0xFFF0, static_cast<WPARAM>(SC_KEYMENU));
    // The popup at position 0, Quit highlighted by id, then the closing notice.
    const std::vector<LoggedMessage> popups = logged(WM_INITMENUPOPUP);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HMENU>(popups[0].wparam), GetSubMenu(GetMenu(window), 0));
    EXPECT_EQ(LOWORD(popups[0].lparam), 0);
    const std::vector<LoggedMessage> selections = logged(WM_MENUSELECT);
    ASSERT_EQ(selections.size(), 2u);
    EXPECT_EQ(LOWORD(selections[0].wparam), QUIT_ID);
    EXPECT_EQ(HIWORD(selections[1].wparam), 0xFFFF);
    EXPECT_EQ(selections[1].lparam, 0);
    const std::vector<LoggedMessage> commands = logged(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wparam, MAKEWPARAM(QUIT_ID, 0));
    EXPECT_EQ(commands[0].lparam, 0);
  }
  EXPECT_EQ(headless_menu_loops().by_keyboard, 2);
}

TEST_F(MenuLoop, AKeyBetweenPressAndReleaseOrNoMenuLeavesTheMenuClosed) {
  HWND window = window_with_menu();
  // Alt+F4 and Alt+X are shortcuts, not the menu key; nor is F10 with a key between.
  inject_key(window, VK_MENU, true);
  inject_key(window, 'X', true);
  inject_key(window, 'X', false);
  inject_key(window, VK_MENU, false);
  inject_key(window, VK_F10, true);
  inject_key(window, 'A', true);
  inject_key(window, VK_F10, false);
  inject_key(window, 'A', false);
  // Held, Alt repeats; Ctrl with it makes no menu key either.
  inject_key(window, VK_CONTROL, true);
  inject_key(window, VK_MENU, true);
  inject_key(window, VK_MENU, false);
  inject_key(window, VK_CONTROL, false);
  pump_messages();
  EXPECT_EQ(headless_menu_loops().run, 0);

  // A held Alt that repeats is still alone.
  inject_key(window, VK_MENU, true);
  inject_key(window, VK_MENU, true);
  inject_key(window, VK_MENU, false);
  pump_messages();
  EXPECT_EQ(headless_menu_loops().run, 1);

  SetMenu(window, nullptr);
  headless_key_press(window, VK_F10, 0);
  pump_messages();
  EXPECT_EQ(headless_menu_loops().run, 1) << "a window without a menu has no menu loop";
}

// The menu's loop holds the thread until the menu closes; like Win32's it
// dispatches the thread's other messages meanwhile, so timers tick inside it.
TEST_F(MenuLoop, TheMenuLoopRunsUntilTheMenuClosesWithTimersDispatchedInside) {
  HWND window = window_with_menu();
  ASSERT_NE(SetTimer(window, 5, 1500, nullptr), 0u);
  headless_answer_menu(HEADLESS_MENU_ESCAPED, 4600);
  const BackendTime start = headless_now();
  headless_key_press(window, VK_F10, 0);
  pump_messages();
  EXPECT_GE(headless_now(), start + 4600);
  const std::vector<UINT> ids = logged_ids(window);
  const auto enter = std::find(ids.begin(), ids.end(), static_cast<UINT>(WM_ENTERMENULOOP));
  const auto exit = std::find(ids.begin(), ids.end(), static_cast<UINT>(WM_EXITMENULOOP));
  ASSERT_NE(exit, ids.end());
  EXPECT_EQ(std::count(enter, exit, static_cast<UINT>(WM_TIMER)), 3);
  EXPECT_TRUE(logged(WM_COMMAND).empty()) << "Escape chooses nothing";
  KillTimer(window, 5);
}

}  // namespace
