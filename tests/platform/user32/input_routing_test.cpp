// Where keyboard and mouse input goes and what it becomes, through the API
// alone (run against our user32 and Windows'): the focus window's keys and
// characters, system keys, accelerators matched against the key state, and
// the cursor a mouse move sets.
#include <initializer_list>

#include "support/window_session.h"

namespace {

using InputRouting = WindowSession;

// Presses the modifiers, presses and releases the key, releases the modifiers.
void press(HWND window, UINT key, std::initializer_list<UINT> modifiers = {}) {
  for (UINT modifier : modifiers) inject_key(window, modifier, true);
  inject_key(window, key, true);
  inject_key(window, key, false);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) inject_key(window, *it, false);
}

std::vector<LoggedMessage> of_kind(UINT first, UINT last) {
  std::vector<LoggedMessage> found;
  for (const LoggedMessage& m : message_log())
    if (m.message >= first && m.message <= last) found.push_back(m);
  return found;
}

TEST_F(InputRouting, KeysGoToTheFocusWindowAndTranslateToCharacters) {
  HWND window = create_foreground_window();
  HWND child = create_logging_child(window, 0, 0, 50, 50);
  SetFocus(child);
  clear_message_log();
  press(window, 'A', {VK_SHIFT});
  press(window, 'B');
  press(window, VK_RETURN);
  pump_messages();
  std::vector<LoggedMessage> keys = of_kind(WM_KEYDOWN, WM_CHAR);
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const LoggedMessage& m : keys) {
    EXPECT_EQ(m.window, child);
    seen.emplace_back(m.message, m.wparam);
  }
  std::vector<std::pair<UINT, WPARAM>> expected{
      {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'A'},   {WM_CHAR, 'A'},      {WM_KEYUP, 'A'},
      {WM_KEYUP, VK_SHIFT},   {WM_KEYDOWN, 'B'},   {WM_CHAR, 'b'},      {WM_KEYUP, 'B'},
      {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13},      {WM_KEYUP, VK_RETURN}};
  EXPECT_EQ(seen, expected);
  // Key-up messages carry the transition and previous-state bits.
  ASSERT_GE(keys.size(), 4u);
  EXPECT_EQ(keys[3].lparam & 0xC0000000, static_cast<LPARAM>(0xC0000000));
}

TEST_F(InputRouting, AltKeysAreSystemKeysAndAltF4Closes) {
  HWND window = create_foreground_window();
  press(window, VK_F4, {VK_MENU});
  pump_messages();
  EXPECT_TRUE(log_contains(window, WM_SYSKEYDOWN));
  EXPECT_TRUE(log_contains(window, WM_CLOSE));
  EXPECT_FALSE(IsWindow(window));  // the default procedure destroys on WM_CLOSE
}

// Runs every message through the window's accelerator table first, as a message loop does.
std::vector<LoggedMessage> commands_after(HWND window, HACCEL table) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (TranslateAcceleratorW(window, table, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return of_kind(WM_COMMAND, WM_COMMAND);
}

TEST_F(InputRouting, AcceleratorsMatchModifiersExactly) {
  HWND window = create_foreground_window();
  ACCEL entries[] = {{FVIRTKEY | FNOINVERT | FCONTROL, 'O', 0},
                     {FVIRTKEY | FNOINVERT | FCONTROL, 'S', 1},
                     {FVIRTKEY | FNOINVERT, VK_TAB, 64001},
                     {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 64002}};
  HACCEL table = CreateAcceleratorTableW(entries, 4);
  ASSERT_NE(table, nullptr);

  press(window, 'S', {VK_CONTROL});
  std::vector<LoggedMessage> commands = commands_after(window, table);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wparam, MAKEWPARAM(1, 1));  // an accelerator: high word 1
  EXPECT_EQ(commands[0].lparam, 0);

  clear_message_log();
  press(window, 'S', {VK_CONTROL, VK_SHIFT});
  press(window, 'S', {VK_CONTROL, VK_MENU});
  press(window, 'S');
  EXPECT_TRUE(commands_after(window, table).empty());

  clear_message_log();
  press(window, VK_TAB, {VK_SHIFT});
  commands = commands_after(window, table);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0].wparam), 64002);
  DestroyAcceleratorTable(table);
}

TEST_F(InputRouting, CursorsAndConfinement) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrow);
  EXPECT_NE(LoadCursorW(nullptr, IDC_CROSS), arrow);
  EXPECT_EQ(LoadCursorW(reinterpret_cast<HINSTANCE>(0x400000), MAKEINTRESOURCEW(1)), nullptr);
  EXPECT_EQ(LoadIconW(reinterpret_cast<HINSTANCE>(0x400000), MAKEINTRESOURCEW(1)), nullptr);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(nullptr), arrow);
  RECT clip{10, 10, 20, 20}, read;
  ClipCursor(&clip);
  GetClipCursor(&read);
  EXPECT_TRUE(EqualRect(&clip, &read));
  ClipCursor(nullptr);
  GetClipCursor(&read);
  EXPECT_EQ(read.right, GetSystemMetrics(SM_CXSCREEN));

  HWND window = create_foreground_window();
  inject_mouse_move(window, POINT{3, 3});
  SetCursor(nullptr);
  pump_messages();
  EXPECT_TRUE(log_contains(window, WM_SETCURSOR));
  EXPECT_EQ(GetCursor(), arrow);  // the class cursor, set by the default procedure
}

}  // namespace
