// UTF-8 <-> UTF-16 conversion, checked against encodings published by Unicode
// and against the C library's iconv as an independent converter.
#include <iconv.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/kernel32/text_conversion.h"

namespace {

// UTF-16 text of a UTF-8 byte string, as glibc's iconv converts it.
std::u16string iconv_utf8_to_utf16(const std::string& text) {
  iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  std::string out(text.size() * 4 + 4, '\0');
  char* in_pointer = const_cast<char*>(text.data());
  char* out_pointer = out.data();
  size_t in_left = text.size();
  size_t out_left = out.size();
  EXPECT_NE(iconv(converter, &in_pointer, &in_left, &out_pointer, &out_left), static_cast<size_t>(-1));
  iconv_close(converter);
  std::u16string result;
  for (size_t index = 0; index + 1 < out.size() - out_left; index += 2)
    result += static_cast<char16_t>(static_cast<unsigned char>(out[index]) |
                                    static_cast<unsigned char>(out[index + 1]) << 8);
  return result;
}

TEST(TextConversion, EncodesCharactersOfEveryLength) {
  // "A", "é" U+00E9, "€" U+20AC, "😀" U+1F600 with their published encodings.
  std::u16string wide = u"A\u00E9\u20AC\U0001F600";
  std::string bytes = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(utf16_to_utf8(wide), bytes);
  EXPECT_EQ(utf8_to_utf16(bytes), wide);
  ASSERT_EQ(utf8_to_utf16("\xF0\x9F\x98\x80").size(), 2u);
  EXPECT_EQ(utf8_to_utf16("\xF0\x9F\x98\x80")[0], 0xD83D);
  EXPECT_EQ(utf8_to_utf16("\xF0\x9F\x98\x80")[1], 0xDE00);
  EXPECT_EQ(utf8_to_utf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(utf8_to_utf16(""), u"");
  EXPECT_EQ(utf16_to_utf8(u""), "");
}

TEST(TextConversion, AgreesWithIconvOverTheWholeCodeSpace) {
  std::string bytes;
  std::u16string wide;
  for (char32_t code = 1; code <= 0x10FFFF; code += (code < 0x10000 ? 1 : 97)) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    std::u16string as_utf16;
    if (code < 0x10000) as_utf16 += static_cast<char16_t>(code);
    else as_utf16 += {static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
                      static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))};
    wide += as_utf16;
  }
  bool invalid = true;
  bytes = utf16_to_utf8(wide, &invalid);
  EXPECT_FALSE(invalid);
  EXPECT_EQ(iconv_utf8_to_utf16(bytes), wide);
  EXPECT_EQ(utf8_to_utf16(bytes, &invalid), wide);
  EXPECT_FALSE(invalid);
}

TEST(TextConversion, IllFormedBytesBecomeOneReplacementPerMaximalSubpart) {
  // The worked example of the Unicode Standard, chapter 3 (U+FFFD substitution).
  std::string bytes = "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64";
  bool invalid = false;
  EXPECT_EQ(utf8_to_utf16(bytes, &invalid), u"\u0061\uFFFD\uFFFD\uFFFD\u0062\uFFFD\u0063\uFFFD\uFFFD\u0064");
  EXPECT_TRUE(invalid);
  // Overlong forms, encoded surrogates, values above U+10FFFF and bytes that
  // never occur in UTF-8 decode to U+FFFD, never to the character they mimic.
  EXPECT_EQ(utf8_to_utf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(utf8_to_utf16("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8_to_utf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8_to_utf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(utf8_to_utf16("\xFE\xFF"), u"\uFFFD\uFFFD");
  // A sequence cut off by the end of the text.
  EXPECT_EQ(utf8_to_utf16("ab\xE2\x82"), u"ab\uFFFD");
  EXPECT_EQ(utf8_to_utf16("\xF0"), u"\uFFFD");
  // Latin-1 text read as UTF-8: each high byte is one replacement.
  EXPECT_EQ(utf8_to_utf16("caf\xE9!"), u"caf\uFFFD!");
  utf8_to_utf16("plain", &invalid);
  EXPECT_FALSE(invalid);
}

TEST(TextConversion, LoneSurrogatesBecomeReplacementCharacters) {
  bool invalid = false;
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'a', char16_t(0xD800), u'b'}, &invalid), "a\xEF\xBF\xBD" "b");
  EXPECT_TRUE(invalid);
  EXPECT_EQ(utf16_to_utf8(std::u16string{char16_t(0xDC00), char16_t(0xD800)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(utf16_to_utf8(std::u16string{u'x', char16_t(0xDBFF)}), "x\xEF\xBF\xBD");
  // A high surrogate followed by its low half is one character, not two faults.
  EXPECT_EQ(utf16_to_utf8(std::u16string{char16_t(0xDBFF), char16_t(0xDFFF)}, &invalid), "\xF4\x8F\xBF\xBF");
  EXPECT_FALSE(invalid);
}

// --- The system code page's lossless form ------------------------------------

TEST(TextConversion, AnyBytesRoundTripThroughStandIns) {
  // Invalid bytes each stand alone; valid characters around them decode as usual.
  EXPECT_EQ(bytes_to_utf16("a\xFF.png"), u"a\xDCFF.png");
  EXPECT_EQ(bytes_to_utf16("\xE2\x82"), u"\xDCE2\xDC82");
  EXPECT_EQ(bytes_to_utf16("\xC0\xAF"), u"\xDCC0\xDCAF");   // overlong "/" stays two strange bytes
  EXPECT_EQ(bytes_to_utf16("\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");  // an encoded surrogate too
  EXPECT_EQ(bytes_to_utf16("\xF0\xE2\x82\xAC"), u"\xDCF0\u20AC");

  // Random byte strings, biased towards the bytes that make UTF-8 hard.
  std::uint32_t state = 99;
  auto next = [&] { return state = state * 1103515245u + 12345u, state >> 16; };
  const unsigned char interesting[] = {0x00, 0x2F, 0x41, 0x7F, 0x80, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0,
                                       0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0xA0, 0x9F, 0x90, 0x8F};
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(next() % 12, '\0');
    for (char& byte : bytes) byte = static_cast<char>(interesting[next() % sizeof interesting]);
    const std::u16string wide = bytes_to_utf16(bytes);
    std::string back;
    ASSERT_TRUE(utf16_to_bytes(wide, back)) << round;
    ASSERT_EQ(back, bytes) << round;
    // Where the bytes are valid UTF-8 nothing changes: iconv reads them alike.
    bool invalid = false;
    utf8_to_utf16(bytes, &invalid);
    if (!invalid) {
      ASSERT_EQ(wide, iconv_utf8_to_utf16(bytes)) << round;
    }
  }
}

TEST(TextConversion, OnlyStandInsThatNameTheirOwnBytesGoBack) {
  std::string bytes;
  // Other lone surrogates stand for no byte at all.
  EXPECT_FALSE(utf16_to_bytes(std::u16string{u'a', char16_t(0xD800)}, bytes));
  EXPECT_FALSE(utf16_to_bytes(std::u16string{char16_t(0xDC41)}, bytes));
  // Stand-ins that spell valid UTF-8 would name the file "é" a second way.
  EXPECT_FALSE(utf16_to_bytes(std::u16string{char16_t(0xDCC3), char16_t(0xDCA9)}, bytes));
  EXPECT_TRUE(utf16_to_bytes(u"caf\u00E9", bytes));
  EXPECT_EQ(bytes, "caf\xC3\xA9");
}

TEST(TextConversion, DecodingIntoABufferAgreesWithBothForms) {
  const std::string text = "x\xF0\x9F\x98\x80\xFFy\xE2\x82";
  char16_t buffer[16] = {};
  bool invalid = false;
  EXPECT_EQ(utf8_to_utf16_into(text, false, nullptr, 0, &invalid), utf8_to_utf16(text).size());
  EXPECT_TRUE(invalid);
  const std::size_t needed = utf8_to_utf16_into(text, true, buffer, 16);
  EXPECT_EQ(std::u16string(buffer, needed), bytes_to_utf16(text));
  // Too little room: only what fits is written, the need is still told.
  char16_t small[3] = {u'-', u'-', u'-'};
  EXPECT_EQ(utf8_to_utf16_into(text, true, small, 2), needed);
  EXPECT_EQ(small[2], u'-');
}

}  // namespace
