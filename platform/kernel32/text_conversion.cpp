// UTF-8 <-> UTF-16 conversion: with U+FFFD for ill-formed input, or lossless
// with a lone surrogate standing in for each undecodable byte.
#include "platform/kernel32/text_conversion.h"

#include <cstdint>

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void append_utf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

// Length of the sequence a lead byte announces, or 0 for a byte that cannot lead.
int sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The second byte's range is narrower after some lead bytes: that is what
// excludes overlong forms, encoded surrogates and values above U+10FFFF.
bool second_byte_fits(unsigned char lead, unsigned char second) {
  switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return is_continuation(second);
  }
}

// Decodes one character at text[position]; advances position past it, or past
// the maximal ill-formed subpart, returning REPLACEMENT and setting invalid.
char32_t decode_one(std::string_view text, std::size_t& position, bool& invalid) {
  auto byte_at = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
  unsigned char lead = byte_at(position);
  int length = sequence_length(lead);
  ++position;
  if (length == 1) return lead;
  if (length == 0) {
    invalid = true;
    return REPLACEMENT;
  }
  char32_t code = lead & (0x7F >> length);
  for (int index = 1; index < length; ++index) {
    if (position >= text.size()) {
      invalid = true;
      return REPLACEMENT;
    }
    unsigned char next = byte_at(position);
    bool fits = index == 1 ? second_byte_fits(lead, next) : is_continuation(next);
    if (!fits) {
      invalid = true;
      return REPLACEMENT;
    }
    code = (code << 6) | (next & 0x3F);
    ++position;
  }
  return code;
}

}  // namespace

std::string utf16_to_utf8(std::u16string_view text, bool* found_invalid) {
  std::string out;
  out.reserve(text.size());
  bool invalid = false;
  for (std::size_t index = 0; index < text.size(); ++index) {
    char32_t unit = text[index];
    if (is_high_surrogate(unit) && index + 1 < text.size() && is_low_surrogate(text[index + 1])) {
      char32_t low = text[++index];
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      invalid = true;
      append_utf8(out, REPLACEMENT);
    } else {
      append_utf8(out, unit);
    }
  }
  if (found_invalid) *found_invalid = invalid;
  return out;
}

std::u16string utf8_to_utf16(std::string_view text, bool* found_invalid) {
  std::u16string out;
  out.reserve(text.size());
  bool invalid = false;
  for (std::size_t position = 0; position < text.size();) append_utf16(out, decode_one(text, position, invalid));
  if (found_invalid) *found_invalid = invalid;
  return out;
}

namespace {

constexpr char32_t BYTE_STAND_IN_BASE = 0xDC00;

bool is_byte_stand_in(char32_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

}  // namespace

std::u16string bytes_to_utf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t position = 0; position < bytes.size();) {
    const std::size_t start = position;
    bool invalid = false;
    const char32_t code = decode_one(bytes, position, invalid);
    if (!invalid) {
      append_utf16(out, code);
      continue;
    }
    // Only the first byte stands in; the rest is decoded afresh, so a valid
    // character after a stray byte is kept.
    out += static_cast<char16_t>(BYTE_STAND_IN_BASE + static_cast<unsigned char>(bytes[start]));
    position = start + 1;
  }
  return out;
}

bool utf16_to_bytes(std::u16string_view text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(text.size());
  bool stood_in = false;
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char32_t unit = text[index];
    if (is_high_surrogate(unit) && index + 1 < text.size() && is_low_surrogate(text[index + 1])) {
      append_utf8(bytes, 0x10000 + ((unit - 0xD800) << 10) + (text[++index] - 0xDC00));
    } else if (is_byte_stand_in(unit)) {
      bytes += static_cast<char>(unit - BYTE_STAND_IN_BASE);
      stood_in = true;
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      return false;
    } else {
      append_utf8(bytes, unit);
    }
  }
  // Stand-ins that together form valid UTF-8 would name the same bytes as
  // the decoded characters: two texts, one file. Only the decoded form counts.
  return !stood_in || bytes_to_utf16(bytes) == text;
}

std::size_t utf8_to_utf16_into(std::string_view text, bool lossless, char16_t* out, std::size_t capacity,
                               bool* found_invalid) {
  std::size_t count = 0;
  auto put = [&](char16_t unit) {
    if (out != nullptr && count < capacity) out[count] = unit;
    ++count;
  };
  bool any_invalid = false;
  for (std::size_t position = 0; position < text.size();) {
    const std::size_t start = position;
    bool invalid = false;
    char32_t code = decode_one(text, position, invalid);
    any_invalid = any_invalid || invalid;
    if (invalid && lossless) {
      code = BYTE_STAND_IN_BASE + static_cast<unsigned char>(text[start]);
      position = start + 1;
    }
    if (code < 0x10000) {
      put(static_cast<char16_t>(code));
    } else {
      put(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
  }
  if (found_invalid) *found_invalid = any_invalid;
  return count;
}
