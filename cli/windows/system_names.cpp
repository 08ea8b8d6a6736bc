// Names on Windows: UTF-8, as the entry hands them on from the wide command
// line, and opened through the wide call.
#include "cli/system_names.h"

#include "cli/code_page_text.h"
#include "platform/win32/kernel32.h"

std::u16string name_from_system(const std::string& name) { return text_from_code_page(CP_UTF8, name); }

std::string name_to_system(std::u16string_view name) { return text_to_code_page(CP_UTF8, name); }

// char16_t and wchar_t share size and representation on Windows.
std::FILE* name_open(const std::string& name, const char* mode) {
  const std::u16string wide_name = name_from_system(name);
  const std::u16string wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(reinterpret_cast<const wchar_t*>(wide_name.c_str()),
                 reinterpret_cast<const wchar_t*>(wide_mode.c_str()));
}
