// text_to_float against the C library's strtof: on every text both read whole
// as a plain decimal number (white space, sign, digits with an optional point,
// an optional exponent) the two must give the same float, bit for bit. Any
// other text must still give a value without failing.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/core/text.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// [white space][sign]digits[.digits][(e|E)[sign]digits], with at least one digit
// in the number: the syntax both readers agree on.
bool is_plain_decimal(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  std::size_t digits = 0;
  while (at < text.size() && is_digit(text[at])) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && is_digit(text[at])) ++at, ++digits;
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t exponent_digits = 0;
    while (at < text.size() && is_digit(text[at])) ++at, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return at == text.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_NUMERIC, "C");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string::npos) return 0;
  // Bytes become code units one to one, so every text the loader can see is reachable.
  const std::u16string wide(text.begin(), text.end());
  const float ours = text_to_float(wide);
  if (!is_plain_decimal(text)) return 0;
  errno = 0;
  const float theirs = std::strtof(text.c_str(), nullptr);
  std::uint32_t our_bits, their_bits;
  std::memcpy(&our_bits, &ours, 4);
  std::memcpy(&their_bits, &theirs, 4);
  if (our_bits != their_bits) std::abort();
  return 0;
}
