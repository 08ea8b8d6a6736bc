// GetOpenFileNameW and GetSaveFileNameW over the display's file dialog. The
// owner is disabled while the dialog is open and the thread's messages keep
// being dispatched. Paths are Linux paths: "/" separates directories.
#include <algorithm>
#include <string>

#include "platform/backend/backend.h"
#include "platform/user32/user32_shared.h"
#include "platform/win32/comdlg32.h"

namespace {

thread_local DWORD extended_error = 0;

size_t filter_pairs(LPCWSTR filter) {
  size_t texts = 0;
  for (; filter && *filter && texts < 2048; ++texts) filter += std::char_traits<char16_t>::length(filter) + 1;
  return texts / 2;
}

// The caller's initial name, read only as far as its buffer goes.
std::u16string initial_name(const OPENFILENAMEW& request) {
  const WCHAR* buffer = request.lpstrFile;
  size_t length = 0;
  while (length < request.nMaxFile && buffer[length]) ++length;
  return length < request.nMaxFile ? std::u16string(buffer, length) : std::u16string();
}

void fill_name_fields(OPENFILENAMEW& request, const std::u16string& path) {
  size_t slash = path.find_last_of(u'/');
  size_t name_start = slash == std::u16string::npos ? 0 : slash + 1;
  size_t dot = path.find_last_of(u'.');
  request.nFileOffset = static_cast<WORD>(std::min<size_t>(name_start, 0xFFFF));
  size_t extension = dot != std::u16string::npos && dot >= name_start ? dot + 1 : path.size();
  request.nFileExtension = static_cast<WORD>(std::min<size_t>(extension, 0xFFFF));
  if (request.lpstrFileTitle && request.nMaxFileTitle > 0) {
    std::u16string name = path.substr(name_start);
    size_t count = std::min<size_t>(name.size(), request.nMaxFileTitle - 1);
    name.copy(request.lpstrFileTitle, count);
    request.lpstrFileTitle[count] = 0;
  }
}

BOOL run_file_dialog(LPOPENFILENAMEW request, bool save) {
  extended_error = 0;
  if (!request) {
    extended_error = CDERR_INITIALIZATION;
    return FALSE;
  }
  if (request->lStructSize < OPENFILENAME_SIZE_VERSION_400W || request->lStructSize > sizeof(OPENFILENAMEW)) {
    extended_error = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (!request->lpstrFile || request->nMaxFile == 0) {
    extended_error = CDERR_INITIALIZATION;
    return FALSE;
  }
  size_t pairs = filter_pairs(request->lpstrFilter);
  DWORD index = request->nFilterIndex;
  if (index == 0 || index > pairs) index = 1;

  std::u16string buffer = initial_name(*request);
  buffer.resize(request->nMaxFile, 0);
  HWND owner = IsWindow(request->hwndOwner) ? request->hwndOwner : nullptr;
  BackendFileDialog dialog{owner, save ? TRUE : FALSE, request->lpstrTitle, request->lpstrFilter, index,
                           buffer.data(), request->nMaxFile, request->lpstrInitialDir, request->Flags};
  ModalOwner modal = modal_begin(owner);
  BackendDialogResult result = backend_current()->run_file_dialog(&dialog);
  modal_end(modal);

  if (result == BACKEND_DIALOG_FAILED) extended_error = FNERR_BUFFERTOOSMALL;
  if (result != BACKEND_DIALOG_CHOSEN) return FALSE;
  std::u16string path(buffer.c_str());
  // A backend that filled the whole buffer left no room for the terminator.
  if (path.size() >= request->nMaxFile) {
    extended_error = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  path.copy(request->lpstrFile, path.size());
  request->lpstrFile[path.size()] = 0;
  request->nFilterIndex = pairs ? std::clamp<DWORD>(dialog.filter_index, 1, static_cast<DWORD>(pairs)) : 0;
  fill_name_fields(*request, path);
  return TRUE;
}

}  // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW request) { return run_file_dialog(request, false); }
BOOL GetSaveFileNameW(LPOPENFILENAMEW request) { return run_file_dialog(request, true); }
DWORD CommDlgExtendedError() { return extended_error; }
