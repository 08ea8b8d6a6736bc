#include "platform/ole32/drag_data_blocks.h"

#include <cstdint>
#include <cstring>

#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"

namespace {

HGLOBAL block_from_bytes(const void* bytes, SIZE_T size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) return nullptr;
  void* memory = GlobalLock(block);
  if (memory == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  if (size > 0) std::memcpy(memory, bytes, size);
  GlobalUnlock(block);
  return block;
}

bool is_listable_name(const std::u16string& path) {
  return !path.empty() && path.find(u'\0') == std::u16string::npos;
}

}  // namespace

HGLOBAL drag_block_file_list(const std::vector<std::u16string>& paths) {
  std::u16string names;
  for (const std::u16string& path : paths) {
    if (!is_listable_name(path)) return nullptr;
    names += path;
    names += u'\0';
  }
  // The empty name that ends the list; an empty list still gets two zeros.
  names += u'\0';
  if (paths.empty()) names += u'\0';

  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::string bytes(sizeof header + names.size() * sizeof(WCHAR), '\0');
  std::memcpy(bytes.data(), &header, sizeof header);
  std::memcpy(bytes.data() + sizeof header, names.data(), names.size() * sizeof(WCHAR));
  return block_from_bytes(bytes.data(), bytes.size());
}

HGLOBAL drag_block_wide_text(std::u16string_view text) {
  std::u16string terminated(text);
  terminated += u'\0';
  return block_from_bytes(terminated.data(), terminated.size() * sizeof(WCHAR));
}

HGLOBAL drag_block_narrow_text(std::u16string_view text) {
  if (text.size() >= static_cast<size_t>(INT32_MAX)) return nullptr;
  std::u16string terminated(text);
  terminated += u'\0';
  int wide_length = static_cast<int>(terminated.size());
  int size = WideCharToMultiByte(CP_ACP, 0, terminated.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  std::string narrow(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, terminated.data(), wide_length, narrow.data(), size, nullptr, nullptr) != size) {
    return nullptr;
  }
  return block_from_bytes(narrow.data(), narrow.size());
}

HGLOBAL drag_block_copy(HGLOBAL block) {
  const void* source = GlobalLock(block);
  if (source == nullptr) return nullptr;
  HGLOBAL copy = block_from_bytes(source, GlobalSize(block));
  GlobalUnlock(block);
  return copy;
}
