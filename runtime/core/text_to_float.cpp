// Text to float, reading what the C runtime's "%f" scan reads, with '.' as
// the decimal point whatever the process locale says.
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "runtime/core/text.h"

namespace {

constexpr std::uint32_t QUIET_NAN_BITS = 0xFFC00000u;
// Exponents beyond this are infinite or zero for any float anyway.
constexpr std::int32_t EXPONENT_CLAMP = 100000;

bool equals_ignoring_case(std::u16string_view text, std::u16string_view word) {
  if (text.size() != word.size()) return false;
  auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  for (std::size_t i = 0; i < text.size(); ++i)
    if (fold(text[i]) != fold(word[i])) return false;
  return true;
}

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool is_white_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The readable prefix as ASCII for from_chars, and the decimal exponent of
// its leading significant digit (to tell overflow from underflow).
struct ScannedNumber {
  std::string ascii;
  bool negative = false;
  std::int64_t magnitude = 0;
};

class NumberScanner {
 public:
  explicit NumberScanner(std::u16string_view text) : text_(text) {}

  // False when no digit can be read.
  bool scan(ScannedNumber& number) {
    while (at_ < text_.size() && is_white_space(text_[at_])) ++at_;
    if (peek() == u'+' || peek() == u'-') number.negative = text_[at_++] == u'-';
    if (number.negative) number.ascii += '-';
    std::size_t integer_start = number.ascii.size();
    std::size_t integer_digits = digits(number.ascii);
    std::size_t significant_integer = integer_digits - leading_zeros(number.ascii, integer_start);
    std::size_t fraction_digits = 0;
    std::size_t fraction_zeros = 0;
    if (peek() == u'.') {
      ++at_;
      number.ascii += '.';
      std::size_t fraction_start = number.ascii.size();
      fraction_digits = digits(number.ascii);
      fraction_zeros = leading_zeros(number.ascii, fraction_start);
    }
    if (integer_digits + fraction_digits == 0) return false;
    number.magnitude = significant_integer > 0 ? static_cast<std::int64_t>(significant_integer) - 1
                                               : -static_cast<std::int64_t>(fraction_zeros) - 1;
    number.magnitude += exponent(number.ascii);
    return true;
  }

 private:
  char16_t peek() const { return at_ < text_.size() ? text_[at_] : u'\0'; }

  std::size_t digits(std::string& out) {
    std::size_t count = 0;
    for (; at_ < text_.size() && is_digit(text_[at_]); ++at_, ++count) out += static_cast<char>(text_[at_]);
    return count;
  }

  // Zeros at the front of the digits from start to the end of ascii.
  static std::size_t leading_zeros(const std::string& ascii, std::size_t start) {
    std::size_t nonzero = ascii.find_first_not_of('0', start);
    return (nonzero == std::string::npos ? ascii.size() : nonzero) - start;
  }

  // An exponent is read only when at least one digit follows the 'e' and its sign.
  std::int64_t exponent(std::string& out) {
    if (peek() != u'e' && peek() != u'E') return 0;
    std::size_t digits_at = at_ + 1;
    bool negative = false;
    if (digits_at < text_.size() && (text_[digits_at] == u'+' || text_[digits_at] == u'-'))
      negative = text_[digits_at++] == u'-';
    if (digits_at >= text_.size() || !is_digit(text_[digits_at])) return 0;
    at_ = digits_at;
    std::int64_t value = 0;
    for (; at_ < text_.size() && is_digit(text_[at_]); ++at_)
      if (value < EXPONENT_CLAMP) value = value * 10 + (text_[at_] - u'0');
    out += negative ? "e-" : "e";
    out += std::to_string(value);
    return negative ? -value : value;
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
};

float convert(const ScannedNumber& number) {
  float value = 0.0f;
  const char* begin = number.ascii.data();
  auto [end, error] = std::from_chars(begin, begin + number.ascii.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    value = number.magnitude > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    if (number.negative) value = -value;
  }
  return value;
}

}  // namespace

float text_to_float(std::u16string_view s) {
  if (equals_ignoring_case(s, u"+Infinity")) return std::numeric_limits<float>::infinity();
  if (equals_ignoring_case(s, u"-Infinity")) return -std::numeric_limits<float>::infinity();
  if (equals_ignoring_case(s, u"NaN")) return std::bit_cast<float>(QUIET_NAN_BITS);
  ScannedNumber number;
  if (!NumberScanner(s).scan(number)) return 0.0f;
  return convert(number);
}
