// GetOpenFileNameW and GetSaveFileNameW over the headless display: what the
// dialog is shown with, what comes back (path, filter index, offsets), the
// modal bracket, and the refusal of malformed requests.
#include <cstddef>

#include "support/headless_session.h"
#include "platform/win32/comdlg32.h"

namespace {

using FileDialogs = HeadlessSession;

constexpr const char16_t FILTER[] = u"Portable Network Graphics (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0";

struct Request {
  WCHAR name[MAX_PATH] = {};
  OPENFILENAMEW fields{};
  explicit Request(HWND owner, const char16_t* initial = u"", DWORD index = 1) {
    std::u16string(initial).copy(name, MAX_PATH - 1);
    fields.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    fields.hwndOwner = owner;
    fields.lpstrFilter = FILTER;
    fields.nFilterIndex = index;
    fields.lpstrFile = name;
    fields.nMaxFile = MAX_PATH;
    fields.lpstrInitialDir = u"/home/user/pictures";
    fields.lpstrTitle = u"Save picture";
    fields.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  }
};

TEST_F(FileDialogs, SaveDialogReturnsTheQueuedPathAndChosenFilter) {
  HWND owner = create_logging_window();
  pump_messages();
  Request request(owner, u"fern", 2);
  headless_answer_file_dialog(u"/home/user/pictures/fern", 1);
  ASSERT_TRUE(GetSaveFileNameW(&request.fields));
  EXPECT_EQ(std::u16string(request.name), u"/home/user/pictures/fern");  // no extension added
  EXPECT_EQ(request.fields.nFilterIndex, 1u);
  EXPECT_EQ(request.fields.nFileOffset, 20);
  EXPECT_EQ(request.fields.nFileExtension, 24);  // no extension: the end of the text
  EXPECT_EQ(CommDlgExtendedError(), 0u);

  const auto& shown = headless_requesters_shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, HEADLESS_SAVE_FILE);
  EXPECT_EQ(shown[0].title, u"Save picture");
  EXPECT_EQ(shown[0].initial_directory, u"/home/user/pictures");
  EXPECT_EQ(shown[0].initial_name, u"fern");
  EXPECT_EQ(shown[0].filter_index, 2u);  // opened with the Bitmap filter selected
  std::vector<std::u16string> filter{u"Portable Network Graphics (*.png)", u"*.png", u"Bitmap (*.bmp)", u"*.bmp"};
  EXPECT_EQ(shown[0].filter, filter);
  EXPECT_EQ(shown[0].owner, owner);
  EXPECT_FALSE(shown[0].owner_enabled);
  EXPECT_EQ(shown[0].type, static_cast<UINT>(0x8080C));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(FileDialogs, OpenDialogKeepsTheFilterWhenTheUserDoesNotChangeIt) {
  Request request(nullptr, u"", 2);
  headless_answer_file_dialog(u"/data/tree.ifs", 0);
  ASSERT_TRUE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(request.fields.nFilterIndex, 2u);
  EXPECT_EQ(request.fields.nFileOffset, 6);
  EXPECT_EQ(request.fields.nFileExtension, 11);
  EXPECT_EQ(headless_requesters_shown()[0].kind, HEADLESS_OPEN_FILE);
}

TEST_F(FileDialogs, CancelReturnsFalseWithoutAnError) {
  Request request(nullptr, u"keep");
  headless_cancel_file_dialog();
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(std::u16string(request.name), u"keep");
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));  // no answer queued: cancelled too
  EXPECT_EQ(headless_requesters_shown().size(), 2u);
}

TEST_F(FileDialogs, TimersKeepTickingWhileTheDialogIsOpen) {
  HWND owner = create_logging_window();
  pump_messages();
  SetTimer(owner, 123, 1500, nullptr);
  clear_message_log();
  Request request(owner);
  headless_answer_file_dialog(u"/a.png", 1, 3000);
  ASSERT_TRUE(GetSaveFileNameW(&request.fields));
  int timers = 0;
  for (const LoggedMessage& m : message_log()) timers += m.message == WM_TIMER;
  EXPECT_EQ(timers, 2);
}

TEST_F(FileDialogs, MalformedRequestsAreRefused) {
  Request request(nullptr);
  request.fields.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
  request.fields.lStructSize = sizeof(OPENFILENAMEW) + 4;
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));
  request.fields.lStructSize = sizeof(OPENFILENAMEW);  // the full size is accepted
  headless_answer_file_dialog(u"/x", 1);
  EXPECT_TRUE(GetOpenFileNameW(&request.fields));
  request.fields.lpstrFile = nullptr;
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_INITIALIZATION));
  EXPECT_FALSE(GetSaveFileNameW(nullptr));
  EXPECT_TRUE(headless_requesters_shown().size() == 1u);  // only the valid request showed a dialog
}

TEST_F(FileDialogs, APathLongerThanTheBufferFailsWithBufferTooSmall) {
  Request request(nullptr);
  request.fields.nMaxFile = 8;
  headless_answer_file_dialog(u"/tmp/much-too-long.ifs", 1);
  EXPECT_FALSE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
}

// A display whose file dialog fills the whole buffer and leaves out the terminator.
BackendDialogResult fill_without_terminator(BackendFileDialog* dialog) {
  for (DWORD i = 0; i < dialog->file_capacity; ++i) dialog->file_buffer[i] = u'a';
  return BACKEND_DIALOG_CHOSEN;
}

TEST_F(FileDialogs, AnUnterminatedAnswerFromTheDisplayIsRefusedNotCopiedPastTheBuffer) {
  DisplayBackend careless = *backend_headless();
  careless.run_file_dialog = fill_without_terminator;
  backend_select(&careless);
  struct Guarded {
    WCHAR name[8] = {};
    WCHAR after[4] = {u'z', u'z', u'z', u'z'};
  } guarded;
  Request request(nullptr);
  request.fields.lpstrFile = guarded.name;
  request.fields.nMaxFile = 8;
  const BOOL chosen = GetOpenFileNameW(&request.fields);
  backend_select(nullptr);
  EXPECT_FALSE(chosen);
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(std::u16string(guarded.after, 4), u"zzzz");
}

TEST_F(FileDialogs, AnUnterminatedInitialNameIsNotReadPastTheBuffer) {
  Request request(nullptr);
  for (WCHAR& unit : request.name) unit = u'x';
  request.fields.nMaxFile = 4;
  GetOpenFileNameW(&request.fields);
  EXPECT_EQ(headless_requesters_shown()[0].initial_name, u"");
}

TEST_F(FileDialogs, AnOutOfRangeFilterIndexOpensOnTheFirstFilter) {
  Request request(nullptr, u"", 9);
  GetOpenFileNameW(&request.fields);
  EXPECT_EQ(headless_requesters_shown()[0].filter_index, 1u);
}

TEST_F(FileDialogs, FileTitleReceivesTheNameAlone) {
  Request request(nullptr);
  WCHAR title[5];
  request.fields.lpstrFileTitle = title;
  request.fields.nMaxFileTitle = 5;
  headless_answer_file_dialog(u"/dir/picture.png", 0);
  ASSERT_TRUE(GetOpenFileNameW(&request.fields));
  EXPECT_EQ(std::u16string(title), u"pict");  // truncated to its buffer
}

}  // namespace
