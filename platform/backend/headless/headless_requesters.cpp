// File dialogs and message boxes without a screen: each is recorded as shown,
// stays open for the scripted time while the program's messages keep being
// dispatched, and is answered from the queue of answers.

#include "platform/backend/headless/headless_state.h"
#include "platform/win32/comdlg32.h"
#include "platform/win32/user32.h"

namespace {

// Description/pattern pairs, each zero-terminated, ending with an empty text.
std::vector<std::u16string> split_filter(LPCWSTR filter) {
  std::vector<std::u16string> parts;
  // Bounded, so that a list missing its final empty text cannot run away.
  for (int i = 0; filter && *filter && i < 1024; ++i) {
    parts.emplace_back(filter);
    filter += parts.back().size() + 1;
  }
  return parts;
}

BOOL owner_enabled(HWND owner) {
  if (!owner) return TRUE;
  return headless_window_state(owner).enabled;
}

int first_button(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

void headless_answer_file_dialog(const char16_t* path, DWORD filter_index, BackendTime open_for_ms) {
  headless_state().file_answers.push_back(HeadlessFileAnswer{false, path ? path : u"", filter_index, open_for_ms});
}

void headless_cancel_file_dialog(BackendTime open_for_ms) {
  headless_state().file_answers.push_back(HeadlessFileAnswer{true, {}, 0, open_for_ms});
}

void headless_answer_message_box(int result, BackendTime open_for_ms) {
  headless_state().box_answers.push_back(HeadlessBoxAnswer{result, open_for_ms});
}

const std::vector<HeadlessRequesterRecord>& headless_requesters_shown() { return headless_state().shown; }

BackendDialogResult headless_run_file_dialog(BackendFileDialog* request) {
  HeadlessState& state = headless_state();
  HeadlessRequesterRecord record{};
  record.kind = request->save ? HEADLESS_SAVE_FILE : HEADLESS_OPEN_FILE;
  record.owner = request->owner;
  record.owner_enabled = owner_enabled(request->owner);
  record.title = request->title ? request->title : u"";
  record.filter = split_filter(request->filter);
  record.filter_index = request->filter_index;
  record.initial_directory = request->initial_directory ? request->initial_directory : u"";
  record.initial_name = request->file_buffer ? request->file_buffer : u"";
  record.type = request->flags;
  state.shown.push_back(record);

  HeadlessFileAnswer answer{true, {}, 0, 0};
  if (!state.file_answers.empty()) {
    answer = state.file_answers.front();
    state.file_answers.pop_front();
  }
  headless_keep_open(answer.open_for);
  if (answer.cancel) return BACKEND_DIALOG_CANCELLED;
  if (!request->file_buffer || answer.path.size() + 1 > request->file_capacity) return BACKEND_DIALOG_FAILED;
  answer.path.copy(request->file_buffer, answer.path.size());
  request->file_buffer[answer.path.size()] = 0;
  if (answer.filter_index) request->filter_index = answer.filter_index;
  return BACKEND_DIALOG_CHOSEN;
}

int headless_run_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  HeadlessState& state = headless_state();
  HeadlessRequesterRecord record{};
  record.kind = HEADLESS_MESSAGE_BOX;
  record.owner = owner;
  record.owner_enabled = owner_enabled(owner);
  record.title = caption ? caption : u"";
  record.text = text ? text : u"";
  record.type = type;
  state.shown.push_back(record);

  HeadlessBoxAnswer answer{first_button(type), 0};
  if (!state.box_answers.empty()) {
    answer = state.box_answers.front();
    state.box_answers.pop_front();
  }
  headless_keep_open(answer.open_for);
  return answer.result;
}
