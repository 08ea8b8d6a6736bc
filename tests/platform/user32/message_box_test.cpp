// Message boxes are modal: the owner is deactivated and disabled while the box
// is open, the thread's messages keep being dispatched (timers tick), and the
// owner is enabled and activated again afterwards.
#include "support/headless_session.h"

namespace {

using MessageBox = HeadlessSession;

struct TickRecord {
  int ticks = 0;
  bool owner_enabled_at_tick = true;
};
TickRecord ticks;
HWND ticking_owner = nullptr;

LRESULT ticking_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  message_log().push_back(LoggedMessage{window, message, wparam, lparam});
  if (message == WM_TIMER) {
    ticks.ticks++;
    ticks.owner_enabled_at_tick = IsWindowEnabled(ticking_owner) != FALSE;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND ticking_window() {
  ticks = TickRecord{};
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ticking_proc;
  window_class.lpszClassName = u"Ticking";
  RegisterClassW(&window_class);
  ticking_owner = CreateWindowExW(0, u"Ticking", u"Owner", WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
  pump_messages();
  clear_message_log();
  return ticking_owner;
}

TEST_F(MessageBox, TimersTickWhileOpenWithTheOwnerDisabled) {
  HWND owner = ticking_window();
  SetTimer(owner, 123, 1500, nullptr);
  headless_answer_message_box(IDOK, 4600);
  EXPECT_EQ(MessageBoxW(owner, u"Wrong name!", u"Load IFS", MB_OK), IDOK);
  EXPECT_EQ(ticks.ticks, 3);  // at 1500, 3000 and 4500 of the 4600 ms
  EXPECT_FALSE(ticks.owner_enabled_at_tick);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);

  const auto& shown = headless_requesters_shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, HEADLESS_MESSAGE_BOX);
  EXPECT_EQ(shown[0].title, u"Load IFS");
  EXPECT_EQ(shown[0].text, u"Wrong name!");
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_FALSE(shown[0].owner_enabled);
  EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(MessageBox, OwnerIsDeactivatedThenReactivatedWithItsFocusMessages) {
  HWND owner = ticking_window();
  headless_answer_message_box(IDOK);
  MessageBoxW(owner, u"text", u"caption", MB_OK);
  std::vector<std::pair<UINT, WPARAM>> activity;
  for (const LoggedMessage& m : message_log())
    if (m.message == WM_ACTIVATE || m.message == WM_ENABLE) activity.emplace_back(m.message, LOWORD(m.wparam));
  std::vector<std::pair<UINT, WPARAM>> expected{
      {WM_ACTIVATE, WA_INACTIVE}, {WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}, {WM_ACTIVATE, WA_ACTIVE}};
  EXPECT_EQ(activity, expected);
}

TEST_F(MessageBox, ADisabledOwnerStaysDisabledAfterwards) {
  HWND owner = ticking_window();
  EnableWindow(owner, FALSE);
  MessageBoxW(owner, u"text", u"caption", MB_OK);
  EXPECT_FALSE(IsWindowEnabled(owner));
}

TEST_F(MessageBox, AnswersDefaultsAndOwnerlessBoxes) {
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Question", MB_YESNO), IDYES);  // the first button by default
  headless_answer_message_box(IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, u"?", u"Question", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "gr\xC3\xBC\xC3\x9F", nullptr, MB_OK), IDOK);
  const auto& shown = headless_requesters_shown();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[2].title, u"Error");  // a box without caption says "Error"
  EXPECT_EQ(shown[2].text, u"");
  EXPECT_EQ(shown[3].text, u"gr\u00FC\u00DF");
  EXPECT_EQ(shown[0].owner, nullptr);
  EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(0x51), u"x", u"y", MB_OK), 0);  // no such owner
}

TEST_F(MessageBox, InputForTheDisabledOwnerIsIgnoredWhileOpen) {
  HWND owner = ticking_window();
  // Scripted input arrives while the box is open: the owner is disabled then.
  headless_script_close_box(headless_now() + 10, owner);
  SetTimer(owner, 1, 100, nullptr);  // makes the box's loop wait and take scripted input
  headless_answer_message_box(IDOK, 200);
  MessageBoxW(owner, u"text", u"caption", MB_OK);
  pump_messages();
  EXPECT_FALSE(log_contains(owner, WM_CLOSE));
  EXPECT_TRUE(IsWindow(owner));
}

TEST_F(MessageBox, QuitDuringTheBoxIsHandedToTheOuterLoop) {
  HWND owner = ticking_window();
  PostQuitMessage(4);
  headless_answer_message_box(IDOK, 10);
  MessageBoxW(owner, u"text", u"caption", MB_OK);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 4u);
}

}  // namespace
