#include "cli/terminal_text.h"

#include <cstdio>

#include "platform/win32/kernel32.h"

namespace {

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool is_byte_stand_in(char32_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

void append_escape(std::string& out, const char* format, unsigned value) {
  char escape[12];
  std::snprintf(escape, sizeof escape, format, value);
  out += escape;
}

// A well-formed character of one or two code units, in UTF-8.
void append_utf8(std::string& out, std::u16string_view character) {
  char bytes[4];
  const int length = WideCharToMultiByte(CP_UTF8, 0, character.data(), static_cast<int>(character.size()), bytes,
                                         sizeof bytes, nullptr, nullptr);
  if (length > 0) out.append(bytes, static_cast<std::size_t>(length));
}

void append_control(std::string& out, char32_t code) {
  switch (code) {
    case u'\r': out += "\\r"; return;
    case u'\n': out += "\\n"; return;
    case u'\t': out += "\\t"; return;
    case 0x1B: out += "\\e"; return;
    default: append_escape(out, code < 0x80 ? "\\x%02x" : "\\u%04x", static_cast<unsigned>(code));
  }
}

// C0, DEL and C1, plus the line separators and the marks that reorder text
// (which can make a name read as another).
bool is_control(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x200E || code == 0x200F ||
         (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string terminal_text(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t index = 0; index < text.size(); ++index) {
    char32_t unit = text[index];
    if (is_high_surrogate(unit) && index + 1 < text.size() && is_low_surrogate(text[index + 1])) {
      append_utf8(out, text.substr(index++, 2));
    } else if (is_byte_stand_in(unit)) {
      append_escape(out, "\\x%02x", static_cast<unsigned>(unit - 0xDC00));
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      append_escape(out, "\\u%04x", static_cast<unsigned>(unit));
    } else if (is_control(unit)) {
      append_control(out, unit);
    } else {
      append_utf8(out, text.substr(index, 1));
    }
  }
  return out;
}
