#include "runtime/gui/window_class_name.h"

#include <algorithm>

std::u16string decimal_text(std::intmax_t value) {
  std::u16string digits;
  // Work on the magnitude as unsigned so that the most negative value is safe.
  std::uintmax_t magnitude = value < 0 ? 0 - static_cast<std::uintmax_t>(value) : static_cast<std::uintmax_t>(value);
  do {
    digits.push_back(static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) digits.push_back(u'-');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::u16string window_class_name(std::intptr_t number) { return u"WindowClass_" + decimal_text(number); }
