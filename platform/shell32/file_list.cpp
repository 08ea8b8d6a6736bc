#include "platform/shell32/file_list.h"

#include <cstring>

#include "platform/win32/kernel32.h"
#include "platform/win32/shell32.h"

namespace {

// Names may start at any offset, so units are read bytewise rather than through a
// possibly misaligned WCHAR pointer.
WCHAR wide_unit_at(const BYTE* bytes) {
  WCHAR unit;
  std::memcpy(&unit, bytes, sizeof unit);
  return unit;
}

std::vector<std::u16string> wide_names(const BYTE* names, SIZE_T size) {
  std::vector<std::u16string> list;
  std::u16string name;
  for (SIZE_T at = 0; at + sizeof(WCHAR) <= size; at += sizeof(WCHAR)) {
    WCHAR unit = wide_unit_at(names + at);
    if (unit != 0) {
      name += unit;
      continue;
    }
    if (name.empty()) break;  // the empty name ends the list
    list.push_back(std::move(name));
    name.clear();
  }
  return list;
}

std::u16string decoded_narrow_name(const std::string& name) {
  if (name.size() > static_cast<size_t>(INT32_MAX)) return {};
  int length = static_cast<int>(name.size());
  int wide_length = MultiByteToWideChar(CP_ACP, 0, name.data(), length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::u16string wide(static_cast<size_t>(wide_length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), length, wide.data(), wide_length);
  return wide;
}

std::vector<std::u16string> narrow_names(const BYTE* names, SIZE_T size) {
  std::vector<std::u16string> list;
  std::string name;
  for (SIZE_T at = 0; at < size; ++at) {
    char unit = static_cast<char>(names[at]);
    if (unit != 0) {
      name += unit;
      continue;
    }
    if (name.empty()) break;
    list.push_back(decoded_narrow_name(name));
    name.clear();
  }
  return list;
}

}  // namespace

std::vector<std::u16string> file_list_names(const BYTE* block, SIZE_T size) {
  if (block == nullptr || size < sizeof(DROPFILES)) return {};
  DROPFILES header;
  std::memcpy(&header, block, sizeof header);
  if (header.pFiles >= size) return {};
  const BYTE* names = block + header.pFiles;
  SIZE_T names_size = size - header.pFiles;
  return header.fWide ? wide_names(names, names_size) : narrow_names(names, names_size);
}
