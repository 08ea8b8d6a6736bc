// The keyboard's way into the menu bar, as DefWindowProc gives it: F10, or Alt
// pressed and released alone, enters the menu's modal loop with Win32's
// messages, and the item chosen there arrives as a posted WM_COMMAND. Keys are
// typed (the headless display's input here, SendInput on Windows); the last
// tests need the headless display's count of menu loops and its virtual time.
#include <algorithm>

#ifndef _WIN32
#include "platform/backend/headless/headless.h"
#endif
#include "support/window_session.h"

namespace {

using MenuKeys = WindowSession;

constexpr UINT OPEN_ID = 11;
constexpr UINT QUIT_ID = 12;
constexpr int DOWNS_TO_QUIT = 1;  // from Open, over the separator

// A foreground window with the menu File: Open (11), a separator, Quit (12).
HWND window_with_menu() {
  HWND window = create_foreground_window(200, 100);
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, OPEN_ID, u"Open");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, QUIT_ID, u"Quit");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File");
  SetMenu(window, bar);
  pump_messages();
  clear_message_log();
  return window;
}

void press(HWND window, UINT key) {
  inject_key(window, key, true);
  inject_key(window, key, false);
}

std::vector<LoggedMessage> logged(UINT message) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.message == message) found.push_back(m);
  return found;
}

// The loop's landmarks in the order the window received them (Windows sends
// more between them: WM_MENUSELECT, WM_ENTERIDLE, WM_CAPTURECHANGED, ...).
std::vector<UINT> landmarks(HWND window) {
  static const std::vector<UINT> kept{WM_SYSCOMMAND,    WM_ENTERMENULOOP, WM_INITMENU,
                                      WM_INITMENUPOPUP, WM_EXITMENULOOP,  WM_COMMAND};
  std::vector<UINT> ids;
  for (UINT id : logged_ids(window))
    if (std::find(kept.begin(), kept.end(), id) != kept.end()) ids.push_back(id);
  return ids;
}

TEST_F(MenuKeys, F10AndAltAloneEnterTheMenuLoopAndTheChoiceIsPostedAsACommand) {
  HWND window = window_with_menu();
  for (UINT key : {VK_F10, VK_MENU}) {
    clear_message_log();
    choose_in_next_menu(window, DOWNS_TO_QUIT, QUIT_ID);
    press(window, key);
    pump_messages();
    let_time_pass(300);
    pump_messages();
    EXPECT_EQ(landmarks(window), (std::vector<UINT>{WM_SYSCOMMAND, WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP,
                                                    WM_EXITMENULOOP, WM_COMMAND}))
        << "key " << key;
    const std::vector<LoggedMessage> system = logged(WM_SYSCOMMAND);
    ASSERT_FALSE(system.empty());
    EXPECT_EQ(system[0].wparam & 0xFFF0, static_cast<WPARAM>(SC_KEYMENU));
    const std::vector<LoggedMessage> popups = logged(WM_INITMENUPOPUP);
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(reinterpret_cast<HMENU>(popups[0].wparam), GetSubMenu(GetMenu(window), 0));
    EXPECT_EQ(LOWORD(popups[0].lparam), 0);
    // The last notice before the loop ends says the menu closed.
    const std::vector<LoggedMessage> selections = logged(WM_MENUSELECT);
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(HIWORD(selections.back().wparam), 0xFFFF);
    EXPECT_EQ(selections.back().lparam, 0);
    const std::vector<LoggedMessage> commands = logged(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wparam, MAKEWPARAM(QUIT_ID, 0));
    EXPECT_EQ(commands[0].lparam, 0);
  }
}

TEST_F(MenuKeys, EscapeClosesTheMenuWithoutACommand) {
  HWND window = window_with_menu();
  choose_in_next_menu(window, -1, 0);
  press(window, VK_F10);
  pump_messages();
  let_time_pass(300);
  pump_messages();
  EXPECT_TRUE(log_contains(window, WM_EXITMENULOOP));
  EXPECT_TRUE(logged(WM_COMMAND).empty());
}

TEST_F(MenuKeys, AKeyBetweenPressAndReleaseOrAHeldCtrlMakesNoMenuKey) {
  HWND window = window_with_menu();
  // Alt with another key (one that types nothing, so no mnemonic is looked for)
  // is not the menu key; nor is F10 with a key between, nor Ctrl+Alt.
  inject_key(window, VK_MENU, true);
  press(window, VK_HOME);
  inject_key(window, VK_MENU, false);
  inject_key(window, VK_F10, true);
  press(window, 'A');
  inject_key(window, VK_F10, false);
  inject_key(window, VK_CONTROL, true);
  press(window, VK_MENU);
  inject_key(window, VK_CONTROL, false);
  pump_messages();
  EXPECT_FALSE(log_contains(window, WM_ENTERMENULOOP));
}

#ifndef _WIN32
// A held Alt repeats and is still alone; a window without a menu has no loop.
TEST_F(MenuKeys, AHeldAltIsStillAloneAndAWindowWithoutAMenuHasNoLoop) {
  HWND window = window_with_menu();
  inject_key(window, VK_MENU, true);
  inject_key(window, VK_MENU, true);
  inject_key(window, VK_MENU, false);
  pump_messages();
  EXPECT_EQ(headless_menu_loops().by_keyboard, 1);

  SetMenu(window, nullptr);
  headless_key_press(window, VK_F10, 0);
  pump_messages();
  EXPECT_EQ(headless_menu_loops().run, 1) << "a window without a menu has no menu loop";
}

// The menu's loop holds the thread until the menu closes; like Win32's it
// dispatches the thread's other messages meanwhile, so timers tick inside it.
TEST_F(MenuKeys, TheMenuLoopRunsUntilTheMenuClosesWithTimersDispatchedInside) {
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
#endif

}  // namespace
