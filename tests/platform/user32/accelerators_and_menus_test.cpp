// Accelerator tables and menus through the API alone (run against our user32
// and Windows'). Keys here are posted, not typed, so no modifier is down:
// accelerators with modifiers are matched by typed keys in input_test.cpp.
#include "support/window_session.h"

namespace {

using AcceleratorsAndMenus = WindowSession;

HWND ready_window() {
  HWND window = create_logging_window(200, 100);
  pump_messages();
  clear_message_log();
  return window;
}

std::vector<LoggedMessage> commands() {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.message == WM_COMMAND) found.push_back(m);
  return found;
}

ACCEL file_shortcuts[] = {{FVIRTKEY | FNOINVERT | FCONTROL, 'O', 0},
                          {FVIRTKEY | FNOINVERT | FCONTROL, 'S', 1},
                          {FVIRTKEY | FNOINVERT, VK_TAB, 64001},
                          {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 64002}};

TEST_F(AcceleratorsAndMenus, AMatchingKeyDownIsSentAsACommandToTheGivenWindow) {
  HWND window = ready_window();
  HWND child = create_logging_child(window, 0, 0, 20, 20);
  HACCEL table = CreateAcceleratorTableW(file_shortcuts, 4);
  ASSERT_NE(table, nullptr);
  clear_message_log();

  // The key went to the child; the command goes to the window named, at once.
  MSG tab{child, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
  EXPECT_NE(TranslateAcceleratorW(window, table, &tab), 0);
  std::vector<LoggedMessage> sent = commands();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].window, window);
  EXPECT_EQ(sent[0].wparam, MAKEWPARAM(64001, 1));  // an accelerator: high word 1
  EXPECT_EQ(sent[0].lparam, 0);

  // Without Shift, Control or Alt down none of the modified entries match, nor
  // do key-up or character messages match a virtual-key entry.
  clear_message_log();
  MSG unmodified_s{window, WM_KEYDOWN, 'S', 0x001F0001, 0, {0, 0}};
  MSG tab_up{window, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001), 0, {0, 0}};
  MSG tab_character{window, WM_CHAR, 9, 0x000F0001, 0, {0, 0}};
  EXPECT_EQ(TranslateAcceleratorW(window, table, &unmodified_s), 0);
  EXPECT_EQ(TranslateAcceleratorW(window, table, &tab_up), 0);
  EXPECT_EQ(TranslateAcceleratorW(window, table, &tab_character), 0);
  EXPECT_TRUE(commands().empty());
  DestroyAcceleratorTable(table);
}

TEST_F(AcceleratorsAndMenus, PostedKeysPassThroughTheTableInAMessageLoop) {
  HWND window = ready_window();
  HACCEL table = CreateAcceleratorTableW(file_shortcuts, 4);
  PostMessageW(window, WM_KEYDOWN, 'S', 0x001F0001);
  PostMessageW(window, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageW(window, WM_USER, 0, 0);
  MSG message;
  int translated = 0;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (TranslateAcceleratorW(window, table, &message)) {
      ++translated;
      continue;
    }
    DispatchMessageW(&message);
  }
  EXPECT_EQ(translated, 1);
  std::vector<UINT> expected{WM_KEYDOWN, WM_COMMAND, WM_USER};
  EXPECT_EQ(logged_ids(window, {WM_CHAR}), expected);
  DestroyAcceleratorTable(table);
}

// A window whose menu holds, in File: Open (10), a separator (0), Gray (11,
// grayed), Dim (12, disabled) and a submenu More at position 4 holding Inner
// (13); and Help (30) on the bar itself. The keys A to G name commands 10,
// 11, 12, 13, 30, 99 (no item) and 0 (the separator's).
struct MenuWindow {
  HWND window;
  HMENU bar;
  HMENU file;
  HMENU more;
  HACCEL table;
};

ACCEL menu_shortcuts[] = {{FVIRTKEY, 'A', 10}, {FVIRTKEY, 'B', 11}, {FVIRTKEY, 'C', 12}, {FVIRTKEY, 'D', 13},
                          {FVIRTKEY, 'E', 30}, {FVIRTKEY, 'F', 99}, {FVIRTKEY, 'G', 0}};

MenuWindow menu_window(HWND window) {
  MenuWindow made{window, CreateMenu(), CreatePopupMenu(), CreatePopupMenu(), nullptr};
  AppendMenuW(made.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(made.file), u"File");
  AppendMenuW(made.bar, MF_STRING, 30, u"Help");
  AppendMenuW(made.file, MF_STRING, 10, u"Open");
  AppendMenuW(made.file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(made.file, MF_STRING | MF_GRAYED, 11, u"Gray");
  AppendMenuW(made.file, MF_STRING | MF_DISABLED, 12, u"Dim");
  AppendMenuW(made.file, MF_POPUP, reinterpret_cast<UINT_PTR>(made.more), u"More");
  AppendMenuW(made.more, MF_STRING, 13, u"Inner");
  SetMenu(window, made.bar);
  made.table = CreateAcceleratorTableW(menu_shortcuts, 7);
  pump_messages();
  clear_message_log();
  return made;
}

// Presses the key through the table; returns TranslateAcceleratorW's result.
int press(const MenuWindow& menu, WPARAM key) {
  MSG down{menu.window, WM_KEYDOWN, key, 0x00010001, 0, {0, 0}};
  return TranslateAcceleratorW(menu.window, menu.table, &down);
}

// The menu messages and commands the window got, in order.
std::vector<LoggedMessage> menu_traffic(HWND window) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.window == window && (m.message == WM_INITMENU || m.message == WM_INITMENUPOPUP ||
                               m.message == WM_COMMAND || m.message == WM_SYSCOMMAND))
      found.push_back(m);
  return found;
}

void expect_message(const LoggedMessage& logged, UINT message, WPARAM wparam, LPARAM lparam) {
  EXPECT_EQ(logged.message, message);
  EXPECT_EQ(logged.wparam, wparam) << "message " << std::hex << message;
  EXPECT_EQ(logged.lparam, lparam) << "message " << std::hex << message;
}

WPARAM handle_value(HMENU menu) { return reinterpret_cast<WPARAM>(menu); }

TEST_F(AcceleratorsAndMenus, AMenuItemsCommandComesAfterItsMenuIsInitialised) {
  MenuWindow menu = menu_window(ready_window());
  EXPECT_NE(press(menu, 'A'), 0);
  std::vector<LoggedMessage> sent = menu_traffic(menu.window);
  ASSERT_EQ(sent.size(), 3u);
  expect_message(sent[0], WM_INITMENU, handle_value(menu.bar), 0);
  expect_message(sent[1], WM_INITMENUPOPUP, handle_value(menu.file), MAKELPARAM(0, FALSE));
  expect_message(sent[2], WM_COMMAND, MAKEWPARAM(10, 1), 0);

  // Deeper down only the popup holding the item is initialised, with its
  // position in the menu that opens it.
  clear_message_log();
  EXPECT_NE(press(menu, 'D'), 0);
  sent = menu_traffic(menu.window);
  ASSERT_EQ(sent.size(), 3u);
  expect_message(sent[0], WM_INITMENU, handle_value(menu.bar), 0);
  expect_message(sent[1], WM_INITMENUPOPUP, handle_value(menu.more), MAKELPARAM(4, FALSE));
  expect_message(sent[2], WM_COMMAND, MAKEWPARAM(13, 1), 0);

  // An item on the bar itself opens no popup.
  clear_message_log();
  EXPECT_NE(press(menu, 'E'), 0);
  sent = menu_traffic(menu.window);
  ASSERT_EQ(sent.size(), 2u);
  expect_message(sent[0], WM_INITMENU, handle_value(menu.bar), 0);
  expect_message(sent[1], WM_COMMAND, MAKEWPARAM(30, 1), 0);

  // A command no item names is sent alone.
  clear_message_log();
  EXPECT_NE(press(menu, 'F'), 0);
  sent = menu_traffic(menu.window);
  ASSERT_EQ(sent.size(), 1u);
  expect_message(sent[0], WM_COMMAND, MAKEWPARAM(99, 1), 0);
  DestroyAcceleratorTable(menu.table);
}

TEST_F(AcceleratorsAndMenus, ItemsThatCannotBeChosenSendNoCommandYetTakeTheKey) {
  MenuWindow menu = menu_window(ready_window());
  for (WPARAM key : {'B', 'C'}) {
    clear_message_log();
    EXPECT_NE(press(menu, key), 0) << static_cast<char>(key);
    std::vector<LoggedMessage> sent = menu_traffic(menu.window);
    ASSERT_EQ(sent.size(), 2u) << static_cast<char>(key);  // the menu is still initialised
    EXPECT_EQ(sent[0].message, WM_INITMENU);
    EXPECT_EQ(sent[1].message, WM_INITMENUPOPUP);
  }
  // Command 0 names a separator (here in the window's menu; on Windows in its
  // system menu first), and a separator cannot be chosen.
  clear_message_log();
  EXPECT_NE(press(menu, 'G'), 0);
  EXPECT_TRUE(commands().empty());
  DestroyAcceleratorTable(menu.table);
}

LRESULT enabling_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITMENUPOPUP) EnableMenuItem(reinterpret_cast<HMENU>(wparam), 11, MF_BYCOMMAND | MF_ENABLED);
  if (message == WM_INITMENU) EnableMenuItem(reinterpret_cast<HMENU>(wparam), 10, MF_BYCOMMAND | MF_GRAYED);
  return logging_window_proc(window, message, wparam, lparam);
}

TEST_F(AcceleratorsAndMenus, TheItemIsJudgedAsTheMenuInitialisationLeftIt) {
  register_test_class(u"EnablingWindow", enabling_window_proc);
  HWND window = CreateWindowExW(0, u"EnablingWindow", u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  MenuWindow menu = menu_window(window);
  // Gray (11) is enabled while its popup is initialised: its command goes out.
  EXPECT_NE(press(menu, 'B'), 0);
  std::vector<LoggedMessage> sent = commands();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].wparam, MAKEWPARAM(11, 1));
  EXPECT_EQ(GetMenuState(menu.file, 11, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
  // Open (10) is grayed when the menu is initialised: nothing goes out.
  clear_message_log();
  EXPECT_NE(press(menu, 'A'), 0);
  EXPECT_TRUE(commands().empty());
  EXPECT_EQ(EnableMenuItem(menu.file, 10, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(menu.file, 77, MF_BYCOMMAND | MF_ENABLED), -1);  // no such item
  DestroyAcceleratorTable(menu.table);
}

TEST_F(AcceleratorsAndMenus, AMinimisedOrDisabledWindowGetsCommandsOnlyForNoItem) {
  MenuWindow menu = menu_window(ready_window());
  ShowWindow(menu.window, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(menu.window));
  pump_messages();
  clear_message_log();
  EXPECT_NE(press(menu, 'A'), 0);
  EXPECT_TRUE(commands().empty());
  EXPECT_NE(press(menu, 'F'), 0);
  std::vector<LoggedMessage> sent = commands();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].wparam, MAKEWPARAM(99, 1));

  ShowWindow(menu.window, SW_RESTORE);
  EnableWindow(menu.window, FALSE);
  pump_messages();
  clear_message_log();
  EXPECT_NE(press(menu, 'A'), 0);
  EXPECT_TRUE(menu_traffic(menu.window).empty()) << "a disabled window's menu is not initialised";
  EXPECT_NE(press(menu, 'F'), 0);
  sent = commands();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].wparam, MAKEWPARAM(99, 1));
  DestroyAcceleratorTable(menu.table);
}

// No menu opens for a minimised window, nor while the mouse is captured.
TEST_F(AcceleratorsAndMenus, AMinimisedWindowsMenuIsNotInitialised) {
  MenuWindow menu = menu_window(ready_window());
  ShowWindow(menu.window, SW_MINIMIZE);
  pump_messages();
  clear_message_log();
  EXPECT_NE(press(menu, 'A'), 0);
  EXPECT_TRUE(menu_traffic(menu.window).empty());
  DestroyAcceleratorTable(menu.table);
}

TEST_F(AcceleratorsAndMenus, UnderMouseCaptureTheMenuIsNotInitialisedButTheCommandGoes) {
  MenuWindow menu = menu_window(ready_window());
  SetCapture(menu.window);
  EXPECT_NE(press(menu, 'A'), 0);
  ReleaseCapture();
  std::vector<LoggedMessage> sent = menu_traffic(menu.window);
  ASSERT_EQ(sent.size(), 1u);
  expect_message(sent[0], WM_COMMAND, MAKEWPARAM(10, 1), 0);
  DestroyAcceleratorTable(menu.table);
}

TEST_F(AcceleratorsAndMenus, AChildHasNoMenuToLookIn) {
  MenuWindow menu = menu_window(ready_window());
  HWND child = create_logging_child(menu.window, 0, 0, 20, 20);
  clear_message_log();
  MSG down{child, WM_KEYDOWN, 'B', 0x00300001, 0, {0, 0}};
  EXPECT_NE(TranslateAcceleratorW(child, menu.table, &down), 0);
  std::vector<LoggedMessage> sent = menu_traffic(child);
  ASSERT_EQ(sent.size(), 1u);  // the parent's grayed item does not count
  expect_message(sent[0], WM_COMMAND, MAKEWPARAM(11, 1), 0);
  EXPECT_TRUE(menu_traffic(menu.window).empty());
  DestroyAcceleratorTable(menu.table);
}

TEST_F(AcceleratorsAndMenus, TablesAreCopiedOutAndGoneOnceDestroyed) {
  HWND window = ready_window();
  HACCEL table = CreateAcceleratorTableW(file_shortcuts, 4);
  ASSERT_NE(table, nullptr);
  ACCEL copy[4]{};
  EXPECT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 4);
  EXPECT_EQ(CopyAcceleratorTableW(table, copy, 2), 2);  // only as many as asked for
  EXPECT_EQ(copy[1].fVirt, FVIRTKEY | FNOINVERT | FCONTROL);
  EXPECT_EQ(copy[1].key, 'S');
  EXPECT_EQ(copy[1].cmd, 1);
  EXPECT_EQ(copy[2].key, 0);
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(DestroyAcceleratorTable(table));
  MSG tab{window, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
  EXPECT_EQ(TranslateAcceleratorW(window, table, &tab), 0);
  EXPECT_EQ(CreateAcceleratorTableW(file_shortcuts, 0), nullptr);
  EXPECT_TRUE(commands().empty());
}

TEST_F(AcceleratorsAndMenus, MenusAreBuiltAndRead) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File"));
  AppendMenuW(file, MF_STRING, 0, u"Open\u2026\tCtrl+O");
  AppendMenuW(file, MF_STRING, 1, u"Save\u2026\tCtrl+S");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING | MF_GRAYED, 2, u"Quit\tEsc");
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetSubMenu(bar, 0), file);
  EXPECT_EQ(GetSubMenu(file, 1), nullptr);  // a command, not a popup
  EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetMenuItemID(file, 1), 1u);
  EXPECT_EQ(GetMenuItemID(file, 9), static_cast<UINT>(-1));
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYCOMMAND) & MF_GRAYED);  // by command: the item with id 2
  EXPECT_FALSE(GetMenuState(file, 1, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(GetMenuState(file, 77, MF_BYCOMMAND), static_cast<UINT>(-1));

  WCHAR text[32];
  EXPECT_EQ(GetMenuStringW(bar, 0, text, 32, MF_BYPOSITION), 4);
  EXPECT_EQ(std::u16string(text), u"File");
  EXPECT_EQ(GetMenuStringW(file, 1, text, 32, MF_BYCOMMAND), 12);
  EXPECT_EQ(std::u16string(text), u"Save\u2026\tCtrl+S");
  EXPECT_EQ(GetMenuStringW(bar, 0, text, 3, MF_BYPOSITION), 2);  // cut to fit, terminated
  EXPECT_EQ(std::u16string(text), u"Fi");
  EXPECT_EQ(GetMenuStringW(bar, 0, nullptr, 0, MF_BYPOSITION), 4);  // the length alone
  EXPECT_EQ(GetMenuStringW(file, 77, text, 32, MF_BYCOMMAND), 0);
  EXPECT_TRUE(DestroyMenu(bar));
}

TEST_F(AcceleratorsAndMenus, AWindowsMenuGoesWithTheWindow) {
  HWND window = ready_window();
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File");
  AppendMenuW(file, MF_STRING, 1, u"Save");
  ASSERT_TRUE(SetMenu(window, bar));
  EXPECT_EQ(GetMenu(window), bar);
  EXPECT_TRUE(DrawMenuBar(window));
  DestroyWindow(window);  // the bar and its popups go with the window
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_FALSE(IsMenu(file));
}

TEST_F(AcceleratorsAndMenus, DestroyMenuTakesItsPopupsAndRefusesUnknownMenus) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), u"P");
  EXPECT_TRUE(IsMenu(bar));
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(popup));
  EXPECT_FALSE(DestroyMenu(bar));
  EXPECT_FALSE(AppendMenuW(bar, MF_STRING, 1, u"x"));
  EXPECT_EQ(GetMenuItemCount(bar), -1);
}

}  // namespace
