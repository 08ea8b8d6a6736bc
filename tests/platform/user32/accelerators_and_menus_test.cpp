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
