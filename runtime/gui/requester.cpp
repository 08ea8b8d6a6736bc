#include "runtime/gui/requester.h"

#include <cstddef>

#include "platform/win32/comdlg32.h"
#include "platform/win32/commctrl.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/ole32.h"
#include "runtime/gui/escape_key.h"
#include "runtime/gui/requester_paths.h"

namespace {

constexpr DWORD COMMON_CONTROL_CLASSES = 0xB48;
// No overwrite prompt, no appended extension, no change of the process's
// current directory; the open dialog accepts names that do not exist yet.
constexpr DWORD FILE_DIALOG_FLAGS = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;

enum RequesterKind { REQUESTER_OPEN = 0, REQUESTER_SAVE = 1 };

struct RequesterState {
  char16_t name_buffer[REQUESTER_NAME_CAPACITY];
  std::int32_t selected_pattern;  // 1-based; 0 while a requester runs and after a cancel
};

RequesterState state{};

// Escape pressed while a requester was open (to close it): a press the event
// loop must not take for its own Escape.
bool escape_pressed_in_requester = false;

template <typename Show>
auto show_modal(Show show) {
  const bool down_before = escape_key_down();
  requester_modal_begin();
  const auto result = show();
  requester_modal_end();
  if (!down_before && escape_key_down()) escape_pressed_in_requester = true;
  return result;
}

BOOL run_dialog(RequesterKind kind, OPENFILENAMEW* request) {
  return show_modal([&] { return kind == REQUESTER_SAVE ? GetSaveFileNameW(request) : GetOpenFileNameW(request); });
}

std::u16string requester_file(const char16_t* title, const char16_t* default_file, const char16_t* pattern,
                              std::int32_t pattern_position, RequesterKind kind) {
  state.selected_pattern = 0;
  std::fill(std::begin(state.name_buffer), std::end(state.name_buffer), u'\0');
  const std::u16string filter = requester_filter(pattern ? pattern : u"");
  RequesterDefaultPath initial;
  if (default_file) initial = requester_split_default(default_file);
  initial.name.copy(state.name_buffer, REQUESTER_NAME_CAPACITY - 1);

  OPENFILENAMEW request{};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  request.hwndOwner = requester_owner();
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = static_cast<DWORD>(pattern_position) + 1;
  request.lpstrFile = state.name_buffer;
  request.nMaxFile = REQUESTER_NAME_CAPACITY;
  request.lpstrInitialDir = initial.directory.empty() ? nullptr : initial.directory.c_str();
  request.lpstrTitle = title;
  request.Flags = FILE_DIALOG_FLAGS;
  if (!run_dialog(kind, &request)) return {};
  state.selected_pattern = static_cast<std::int32_t>(request.nFilterIndex);
  // The buffer is the dialog's: never read past its capacity.
  state.name_buffer[REQUESTER_NAME_CAPACITY - 1] = u'\0';
  return std::u16string(state.name_buffer);
}

}  // namespace

void requester_library_init() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), COMMON_CONTROL_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitialize(nullptr);
  state.selected_pattern = 0;
  escape_pressed_in_requester = false;
}

std::u16string requester_open_file(const char16_t* title, const char16_t* default_file, const char16_t* pattern,
                                   std::int32_t pattern_position) {
  return requester_file(title, default_file, pattern, pattern_position, REQUESTER_OPEN);
}

std::u16string requester_save_file(const char16_t* title, const char16_t* default_file, const char16_t* pattern,
                                   std::int32_t pattern_position) {
  return requester_file(title, default_file, pattern, pattern_position, REQUESTER_SAVE);
}

std::int32_t requester_selected_pattern() { return state.selected_pattern - 1; }

int requester_message(const char16_t* caption, const char16_t* text, UINT flags) {
  return show_modal([&] { return MessageBoxW(requester_owner(), text, caption, flags); });
}

bool requester_took_escape() {
  const bool took = escape_pressed_in_requester;
  escape_pressed_in_requester = false;
  return took;
}

HWND requester_owner() {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}
