// Text helpers of user32: the A functions take UTF-8 (the system code page
// here), names of atoms compare without regard to ASCII case.
#include "platform/kernel32/text_conversion.h"
#include "platform/user32/window_store.h"

// The same decoding as MultiByteToWideChar with the UTF-8 code page.
std::u16string text_from_utf8(LPCSTR text) { return text ? utf8_to_utf16(text) : std::u16string(); }

std::u16string text_of(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

std::u16string text_fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& unit : folded)
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
  return folded;
}
