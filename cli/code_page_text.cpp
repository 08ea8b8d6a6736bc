#include "cli/code_page_text.h"

#include "platform/win32/kernel32.h"

std::u16string text_from_code_page(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string text_to_code_page(UINT code_page, std::u16string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}
