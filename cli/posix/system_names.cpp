#include "cli/system_names.h"

#include "platform/win32/kernel32.h"

namespace {

#ifdef _WIN32
constexpr UINT NAME_CODE_PAGE = CP_UTF8;
#else
constexpr UINT NAME_CODE_PAGE = CP_ACP;
#endif

}  // namespace

std::u16string name_from_system(const std::string& name) {
  if (name.empty()) return {};
  const int size = static_cast<int>(name.size());
  const int length = MultiByteToWideChar(NAME_CODE_PAGE, 0, name.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(NAME_CODE_PAGE, 0, name.data(), size, wide.data(), length);
  return wide;
}

std::string name_to_system(std::u16string_view name) {
  if (name.empty()) return {};
  const int size = static_cast<int>(name.size());
  const int length = WideCharToMultiByte(NAME_CODE_PAGE, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(NAME_CODE_PAGE, 0, name.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

#ifdef _WIN32
// char16_t and wchar_t share size and representation on Windows.
std::FILE* name_open(const std::string& name, const char* mode) {
  const std::u16string wide_name = name_from_system(name);
  const std::u16string wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(reinterpret_cast<const wchar_t*>(wide_name.c_str()),
                 reinterpret_cast<const wchar_t*>(wide_mode.c_str()));
}
#else
std::FILE* name_open(const std::string& name, const char* mode) { return std::fopen(name.c_str(), mode); }
#endif
