// MultiByteToWideChar and WideCharToMultiByte. The system code page is UTF-8
// on Linux; CP_ACP and CP_OEMCP convert it losslessly (names are bytes),
// CP_UTF8 as Win32 does.
#include <cstring>
#include <string>

#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"

namespace {

bool is_utf8_code_page(UINT code_page) {
  return code_page == CP_ACP || code_page == CP_OEMCP || code_page == CP_UTF8;
}

bool is_system_code_page(UINT code_page) { return code_page == CP_ACP || code_page == CP_OEMCP; }

// A length of -1 means "up to and including the terminator".
std::size_t wide_length_of(LPCWSTR wide, int length) {
  if (length != -1) return static_cast<std::size_t>(length);
  std::size_t count = 0;
  while (wide[count]) ++count;
  return count + 1;
}

std::size_t byte_length_of(LPCSTR text, int length) {
  return length == -1 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
}

bool arguments_valid(const void* source, int source_length, const void* target, int target_length) {
  return source && source_length != 0 && source_length >= -1 && target_length >= 0 &&
         (target || target_length == 0) && (source != target || target_length == 0);
}

// Copies a converted text out with Win32's sizing rules: a size of 0 asks for
// the size needed; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER.
template <typename String, typename Unit>
int deliver(const String& converted, Unit* target, int target_length) {
  if (converted.size() > static_cast<std::size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int needed = static_cast<int>(converted.size());
  if (target_length == 0) return needed;
  if (needed > target_length) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(target, converted.data(), converted.size() * sizeof(Unit));
  return needed;
}

// Lone surrogates are the only thing UTF-8 cannot hold; a legacy caller's
// default character stands in for each of them.
std::string utf16_to_utf8_with_stand_in(std::u16string_view source, LPCSTR stand_in) {
  std::string converted;
  for (std::size_t index = 0; index < source.size();) {
    bool pair = index + 1 < source.size() && source[index] >= 0xD800 && source[index] <= 0xDBFF &&
                source[index + 1] >= 0xDC00 && source[index + 1] <= 0xDFFF;
    std::size_t count = pair ? 2 : 1;
    bool lone = false;
    std::string piece = utf16_to_utf8(source.substr(index, count), &lone);
    converted += lone ? std::string(stand_in) : piece;
    index += count;
  }
  return converted;
}

}  // namespace

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wide_length) {
  if (!is_utf8_code_page(code_page) || !arguments_valid(text, length, wide, wide_length)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Decoded straight into the caller's buffer: a long line is never held
  // twice in UTF-16.
  const std::string_view bytes(text, byte_length_of(text, length));
  const bool lossless = is_system_code_page(code_page);
  bool invalid = false;
  const std::size_t needed = utf8_to_utf16_into(bytes, lossless, nullptr, 0, &invalid);
  if (invalid && (flags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (needed > static_cast<std::size_t>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (wide_length == 0) return static_cast<int>(needed);
  if (needed > static_cast<std::size_t>(wide_length)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return static_cast<int>(utf8_to_utf16_into(bytes, lossless, wide, needed));
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text, int length,
                        LPCSTR default_char, BOOL* used_default) {
  // Win32 refuses a default character for UTF-8, which can encode everything.
  bool default_refused = code_page == CP_UTF8 && (default_char || used_default);
  if (!is_utf8_code_page(code_page) || default_refused || !arguments_valid(wide, wide_length, text, length)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view source(wide, wide_length_of(wide, wide_length));
  bool invalid = false;
  std::string converted = utf16_to_utf8(source, &invalid);
  std::string bytes;
  if (invalid && is_system_code_page(code_page) && utf16_to_bytes(source, bytes)) {
    converted = std::move(bytes);
    invalid = false;
  }
  if (invalid && default_char) converted = utf16_to_utf8_with_stand_in(source, default_char);
  if (used_default) *used_default = invalid ? TRUE : FALSE;
  return deliver(converted, text, length);
}
