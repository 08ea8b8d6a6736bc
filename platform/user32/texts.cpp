// Text helpers of user32: the A functions take UTF-8 (the system code page
// here), names of atoms compare without regard to ASCII case.
#include <cstring>

#include "platform/user32/window_store.h"

namespace {

// Length of the UTF-8 sequence starting with `lead`, 0 if it cannot start one.
int sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

void append_code_point(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
    return;
  }
  code -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

}  // namespace

std::u16string text_from_utf8(LPCSTR text) {
  std::u16string out;
  if (!text) return out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t length = std::strlen(text);
  for (size_t i = 0; i < length;) {
    int count = sequence_length(bytes[i]);
    char32_t code = count == 1 ? bytes[i] : (count ? bytes[i] & (0x7F >> count) : 0);
    bool valid = count > 0 && i + count <= length;
    for (int k = 1; valid && k < count; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) valid = false;
      else code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not text.
    static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && (code < minimum[count] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)) valid = false;
    if (!valid) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    append_code_point(out, code);
    i += count;
  }
  return out;
}

std::u16string text_of(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

std::u16string text_fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& unit : folded)
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
  return folded;
}
