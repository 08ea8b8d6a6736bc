// DragQueryFileW, DragQueryPoint and DragFinish over a file-list block in global memory.
#include <algorithm>
#include <cstring>

#include "platform/shell32/file_list.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"

namespace {

constexpr UINT COUNT_REQUEST = 0xFFFFFFFF;

std::vector<std::u16string> names_of(HDROP drop) {
  HGLOBAL block = reinterpret_cast<HGLOBAL>(drop);
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
  if (bytes == nullptr) return {};
  std::vector<std::u16string> names = file_list_names(bytes, GlobalSize(block));
  GlobalUnlock(block);
  return names;
}

}  // namespace

UINT DragQueryFileW(HDROP drop, UINT file, LPWSTR buffer, UINT size) {
  if (drop == nullptr) return 0;
  std::vector<std::u16string> names = names_of(drop);
  if (file == COUNT_REQUEST) return static_cast<UINT>(names.size());
  if (file >= names.size()) return 0;
  const std::u16string& name = names[file];
  if (buffer == nullptr) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  // Room for the terminator comes first: a short buffer gets a cut, terminated name.
  size_t copied = std::min<size_t>(name.size(), size - 1);
  std::copy_n(name.data(), copied, buffer);
  buffer[copied] = u'\0';
  return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
  if (drop == nullptr || point == nullptr) return FALSE;
  HGLOBAL block = reinterpret_cast<HGLOBAL>(drop);
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
  if (bytes == nullptr) return FALSE;
  BOOL in_client = FALSE;
  if (GlobalSize(block) >= sizeof(DROPFILES)) {
    DROPFILES header;
    std::memcpy(&header, bytes, sizeof header);
    *point = header.pt;
    in_client = header.fNC ? FALSE : TRUE;
  }
  GlobalUnlock(block);
  return in_client;
}

void DragFinish(HDROP drop) {
  if (drop != nullptr) GlobalFree(reinterpret_cast<HGLOBAL>(drop));
}
