// Case mapping through the API alone (run against our user32 and Windows').
#include <clocale>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <cwctype>
#include <locale.h>
#endif

#include "platform/win32/user32_character_case.h"

namespace {

char16_t lower_one(char16_t c) {
  return static_cast<char16_t>(reinterpret_cast<UINT_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(UINT_PTR{c}))));
}
char16_t upper_one(char16_t c) {
  return static_cast<char16_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(UINT_PTR{c}))));
}

TEST(CharacterCase, StringsAreConvertedInPlaceAndReturned) {
  std::u16string text = u"Hello, WORLD ÀÉÎ Ωμέγα ЖУК Ŀő 123";
  LPWSTR result = CharLowerW(text.data());
  EXPECT_EQ(result, text.data());
  EXPECT_EQ(text, u"hello, world àéî ωμέγα жук ŀő 123");
  CharUpperW(text.data());
  EXPECT_EQ(text, u"HELLO, WORLD ÀÉÎ ΩΜΈΓΑ ЖУК ĿŐ 123");
}

TEST(CharacterCase, ASingleCharacterInThePointerValueIsConverted) {
  EXPECT_EQ(lower_one(u'A'), u'a');
  EXPECT_EQ(lower_one(u'a'), u'a');
  EXPECT_EQ(upper_one(u'z'), u'Z');
  EXPECT_EQ(lower_one(u'Σ'), u'σ');
  EXPECT_EQ(upper_one(u'ÿ'), u'Ÿ');
  EXPECT_EQ(upper_one(u'ß'), u'ß') << "no single-character upper case";
  EXPECT_EQ(lower_one(u'\u4E2D'), u'\u4E2D');
  EXPECT_EQ(CharLowerW(nullptr), nullptr) << "character 0";
}

// Unicode's simple mappings for the final sigma and the dotted and dotless i,
// which no language setting changes here.
TEST(CharacterCase, FinalSigmaAndTheDottedAndDotlessIFollowUnicode) {
  EXPECT_EQ(upper_one(u'ς'), u'Σ');
  EXPECT_EQ(lower_one(u'İ'), u'i');
  EXPECT_EQ(upper_one(u'ı'), u'I');
}

TEST(CharacterCase, DoesNotDependOnTheProcessLocale) {
  std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  std::u16string text = u"ÄÖÜ ДОМ";
  CharLowerW(text.data());
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(text, u"äöü дом");
}

#if !defined(_WIN32)
bool in_covered_blocks(char32_t c) {
  return c < 0x0180 || (c >= 0x0370 && c < 0x0400 && c != 0x0345) || (c >= 0x0400 && c < 0x0530);
}

// glibc's C.UTF-8 case tables are an independent source of the simple case
// mappings (the C library of Windows has none to offer).
TEST(CharacterCase, AgreesWithTheCLibraryOverTheCoveredBlocks) {
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (!utf8) GTEST_SKIP() << "no C.UTF-8 locale";
  int compared = 0;
  for (char32_t c = 1; c < 0x0530; ++c) {
    if (!in_covered_blocks(c)) continue;
    auto expected_lower = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), utf8));
    auto expected_upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8));
    // Mappings out of the basic plane cannot be single UTF-16 units.
    if (expected_lower <= 0xFFFF) {
      EXPECT_EQ(std::uint32_t{lower_one(static_cast<char16_t>(c))}, expected_lower) << std::hex << "U+" << std::uint32_t{c};
    }
    if (expected_upper <= 0xFFFF) {
      EXPECT_EQ(std::uint32_t{upper_one(static_cast<char16_t>(c))}, expected_upper) << std::hex << "U+" << std::uint32_t{c};
    }
    ++compared;
  }
  freelocale(utf8);
  EXPECT_GT(compared, 800);
}
#endif

}  // namespace
