// Names on POSIX systems: the system code page (UTF-8 here, with bytes that
// are not UTF-8 kept as lone surrogates), opened as they are.
#include "cli/system_names.h"

#include "cli/code_page_text.h"
#include "platform/win32/kernel32.h"

std::u16string name_from_system(const std::string& name) { return text_from_code_page(CP_ACP, name); }

std::string name_to_system(std::u16string_view name) { return text_to_code_page(CP_ACP, name); }

std::FILE* name_open(const std::string& name, const char* mode) { return std::fopen(name.c_str(), mode); }
