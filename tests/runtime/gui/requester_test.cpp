#include "runtime/gui/requester.h"

#include <algorithm>

#include "support/gui_runtime.h"
#include "platform/backend/headless/headless.h"
#include "platform/win32/comdlg32.h"
#include "platform/win32/user32.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window.h"

namespace {

constexpr const char16_t* IMAGE_PATTERN = u"Portable Network Graphics (*.png)|*.png|Bitmap (*.bmp)|*.bmp";

class RequesterTest : public GuiRuntimeTest {
 protected:
  void SetUp() override {
    GuiRuntimeTest::SetUp();
    window = reinterpret_cast<HWND>(window_open(0, 0, 0, 600, 600, u"IFS render by Tarnwick", 0xCA0001, nullptr));
    ASSERT_NE(window, nullptr);
    gui_drain_events();
  }

  const HeadlessRequesterRecord& last_shown() { return headless_requesters_shown().back(); }

  HWND window = nullptr;
};

TEST_F(RequesterTest, NoPatternIsSelectedBeforeAnyFileRequester) { EXPECT_EQ(requester_selected_pattern(), -1); }

TEST_F(RequesterTest, ASaveRequesterOpensWhereTheDefaultSaysWithThePatternsFilterSelected) {
  headless_answer_file_dialog(u"/tmp/pictures/fern", 1);
  const std::u16string path = requester_save_file(u"Save picture", u"/tmp/pictures/fern", IMAGE_PATTERN, 1);
  ASSERT_EQ(headless_requesters_shown().size(), 1u);
  const HeadlessRequesterRecord& shown = last_shown();
  EXPECT_EQ(shown.kind, HEADLESS_SAVE_FILE);
  EXPECT_EQ(shown.owner, window);
  EXPECT_EQ(shown.title, u"Save picture");
  EXPECT_EQ(shown.initial_directory, u"/tmp/pictures");
  EXPECT_EQ(shown.initial_name, u"fern");
  EXPECT_EQ(shown.filter_index, 2u);
  EXPECT_EQ(shown.filter, (std::vector<std::u16string>{u"Portable Network Graphics (*.png)", u"*.png",
                                                       u"Bitmap (*.bmp)", u"*.bmp"}));
  EXPECT_EQ(shown.type, static_cast<UINT>(OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER));
  // The first filter was picked and the path confirmed as typed: no extension added.
  EXPECT_EQ(path, u"/tmp/pictures/fern");
  EXPECT_EQ(requester_selected_pattern(), 0);
}

TEST_F(RequesterTest, ADefaultWithoutSlashIsTheNameOnly) {
  headless_answer_file_dialog(u"/data/fern.ifs", 1);
  const std::u16string path = requester_open_file(u"Load IFS", u"fern.ifs", u"IFS data (*.ifs)|*.ifs", 0);
  EXPECT_EQ(last_shown().kind, HEADLESS_OPEN_FILE);
  EXPECT_EQ(last_shown().initial_directory, u"");
  EXPECT_EQ(last_shown().initial_name, u"fern.ifs");
  EXPECT_EQ(last_shown().filter_index, 1u);
  EXPECT_EQ(path, u"/data/fern.ifs");
  EXPECT_EQ(requester_selected_pattern(), 0);
}

TEST_F(RequesterTest, ADefaultInTheRootFolderOpensThere) {
  headless_cancel_file_dialog();
  requester_open_file(nullptr, u"/fern.ifs", nullptr, 0);
  EXPECT_EQ(last_shown().initial_name, u"fern.ifs");
  EXPECT_EQ(last_shown().initial_directory, u"/");
  headless_cancel_file_dialog();
  requester_open_file(nullptr, u"/", nullptr, 0);
  EXPECT_EQ(last_shown().initial_name, u"");
  EXPECT_EQ(last_shown().initial_directory, u"/");
}

TEST_F(RequesterTest, CancelGivesEmptyTextAndPatternMinusOne) {
  headless_answer_file_dialog(u"/tmp/a.bmp", 2);
  requester_save_file(nullptr, nullptr, IMAGE_PATTERN, 0);
  EXPECT_EQ(requester_selected_pattern(), 1);
  headless_cancel_file_dialog();
  EXPECT_EQ(requester_save_file(nullptr, nullptr, IMAGE_PATTERN, 0), u"");
  EXPECT_EQ(requester_selected_pattern(), -1);
  EXPECT_EQ(last_shown().initial_name, u"");
}

TEST_F(RequesterTest, TheMessageBoxDisablesTheWindowWhileItShows) {
  EXPECT_EQ(requester_message(u"Load IFS", u"Wrong name!", 0), IDOK);
  const HeadlessRequesterRecord& shown = last_shown();
  EXPECT_EQ(shown.kind, HEADLESS_MESSAGE_BOX);
  EXPECT_EQ(shown.title, u"Load IFS");
  EXPECT_EQ(shown.text, u"Wrong name!");
  EXPECT_EQ(shown.type, 0u);
  EXPECT_EQ(shown.owner, window);
  EXPECT_FALSE(shown.owner_enabled);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(RequesterTest, TimersTickWhileARequesterIsOpenAndTheirEventsCoalesce) {
  ASSERT_NE(timer_add(0, 123, 1500), 0);
  headless_answer_message_box(IDOK, 4000);
  const BackendTime opened = headless_now();
  requester_message(u"Load IFS", u"Wrong name!", 0);
  ASSERT_GE(headless_now(), opened + 3000) << "two ticks fell while the box was open";
  // Both ticks were dispatched by the box itself: their one event waits in the
  // queue before the loop pumps anything.
  std::vector<SeenEvent> queued;
  while (const std::int32_t code = event_pop())
    queued.push_back(SeenEvent{code, event_menu_item(), event_window(), event_type()});
  EXPECT_EQ(std::count(queued.begin(), queued.end(), SeenEvent{EVENT_TIMER, 123, 0, 0}), 1);
}

// The press that closes a box is the box's: the event loop must not take it,
// still held, for its own Escape; a press from before the box is not the box's.
TEST_F(RequesterTest, OnlyAnEscapePressedWhileTheBoxWasOpenIsTheBoxs) {
  static HWND pressed_on;
  pressed_on = window;
  SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    headless_key(pressed_on, VK_ESCAPE, TRUE);
  });
  headless_answer_message_box(IDCANCEL, 500);
  requester_message(u"Load IFS", u"Wrong name!", 0);
  ASSERT_TRUE(headless_key_is_down(VK_ESCAPE)) << "the press fell while the box was open";
  EXPECT_TRUE(requester_took_escape());
  EXPECT_FALSE(requester_took_escape()) << "told once";

  headless_answer_message_box(IDOK, 500);  // Escape is still held from before this box
  requester_message(u"Load IFS", u"Wrong name!", 0);
  EXPECT_FALSE(requester_took_escape());
  headless_key(window, VK_ESCAPE, FALSE);
  requester_message(u"Load IFS", u"Wrong name!", 0);
  EXPECT_FALSE(requester_took_escape()) << "no key went down while this box was open";
}

TEST_F(RequesterTest, ARequesterWithAnotherProgramInFrontHasNoOwner) {
  // No window of ours in the foreground: close the only one.
  window_close(0);
  headless_cancel_file_dialog();
  requester_open_file(nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(last_shown().owner, nullptr);
}

bool is_topmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Of the thread's visible windows the bracket disables those that are enabled and not in the
// foreground, and lowers the topmost ones, then gives back exactly what it took.
TEST_F(RequesterTest, TheModalBracketDisablesAndLowersOurOtherWindowsForItsDuration) {
  HWND other = reinterpret_cast<HWND>(window_open(1, 0, 0, 100, 100, u"other", 0xCA0000, nullptr));
  HWND topmost = reinterpret_cast<HWND>(window_open(2, 0, 0, 100, 100, u"on top", 0xCA0000, nullptr));
  HWND disabled = reinterpret_cast<HWND>(window_open(3, 0, 0, 100, 100, u"disabled", 0xCA0000, nullptr));
  HWND hidden = reinterpret_cast<HWND>(window_open(4, 0, 0, 100, 100, u"hidden", 0x10CA0000, nullptr));
  ASSERT_TRUE(other && topmost && disabled && hidden);
  SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EnableWindow(disabled, FALSE);
  SetForegroundWindow(window);
  ASSERT_EQ(GetForegroundWindow(), window);
  ASSERT_TRUE(is_topmost(topmost));

  requester_modal_begin();
  EXPECT_TRUE(IsWindowEnabled(window)) << "the foreground window is the dialog's owner";
  EXPECT_FALSE(IsWindowEnabled(other));
  EXPECT_FALSE(IsWindowEnabled(topmost));
  EXPECT_FALSE(is_topmost(topmost)) << "nothing of ours stays above the dialog";
  EXPECT_FALSE(IsWindowEnabled(disabled));
  EXPECT_TRUE(IsWindowEnabled(hidden)) << "invisible windows are left alone";

  requester_modal_end();
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(topmost));
  EXPECT_TRUE(is_topmost(topmost));
  EXPECT_FALSE(IsWindowEnabled(disabled)) << "it was disabled before: the bracket did not change it";
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_FALSE(is_topmost(other));

  // With another window of ours in front, the main window is the one disabled.
  SetForegroundWindow(other);
  requester_modal_begin();
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowEnabled(other));
  requester_modal_end();
  EXPECT_TRUE(IsWindowEnabled(window));
}

}  // namespace
