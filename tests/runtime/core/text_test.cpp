#include "runtime/core/text.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

const char16_t* const NULL_TEXT = nullptr;

TEST(TextSearch, FindGivesOneBasedPositionsAndZeroForNothing) {
  EXPECT_EQ(text_find(u"a\nb", u"\n"), 2);
  EXPECT_EQ(text_find(u"", u"\n"), 0);
  EXPECT_EQ(text_find(u"abc", u""), 0);
  EXPECT_EQ(text_find(text_view(NULL_TEXT), u"a"), 0);
  EXPECT_EQ(text_find(u"abcabc", u"ca"), 3);
  EXPECT_EQ(text_find(u"abc", u"C"), 0) << "case-sensitive";
  EXPECT_EQ(text_find(u"ab", u"abc"), 0);
  EXPECT_EQ(text_find(u"file.IFS", u"file.IFS"), 1);
}

TEST(TextSearch, CountDoesNotOverlap) {
  EXPECT_EQ(text_count(u"1 2 3 4 5 6 7", u" "), 6);
  EXPECT_EQ(text_count(u"aaaa", u"aa"), 2);
  EXPECT_EQ(text_count(u"aaa", u"aa"), 1);
  EXPECT_EQ(text_count(u"", u" "), 0);
  EXPECT_EQ(text_count(u"abc", u""), 0);
  EXPECT_EQ(text_count(u"abc", u"x"), 0);
}

TEST(TextSearch, LengthAndEquality) {
  EXPECT_EQ(text_length(text_view(NULL_TEXT)), 0);
  EXPECT_EQ(text_length(u"h\u00E9llo"), 5);
  EXPECT_EQ(text_length(u"\U0001F600"), 2) << "code units, not characters";
  EXPECT_TRUE(text_equal(text_view(NULL_TEXT), u""));
  EXPECT_TRUE(text_equal(u"png", u"png"));
  EXPECT_FALSE(text_equal(u"png", u"PNG"));
  EXPECT_FALSE(text_equal(u"png", u"pn"));
  EXPECT_FALSE(text_equal(u"pn", u"png"));
}

TEST(TextCut, MidCountsStartFromOneAndClampsArguments) {
  EXPECT_EQ(text_mid(u"abc", 0, 2), u"ab");
  EXPECT_EQ(text_mid(u"abc", -7, 2), u"ab");
  EXPECT_EQ(text_mid(u"abc", 5, 2), u"");
  EXPECT_EQ(text_mid(u"abc", 4, 2), u"");
  EXPECT_EQ(text_mid(u"abc", 1, -1), u"");
  EXPECT_EQ(text_mid(u"abc", 2, 100), u"bc");
  EXPECT_EQ(text_mid(u"abc", 3, 1), u"c");
  EXPECT_EQ(text_mid(u"abc", INT32_MAX, INT32_MAX), u"");
  EXPECT_EQ(text_mid(text_view(NULL_TEXT), 1, 3), u"");
}

TEST(TextCut, RightTakesTheLastCodeUnits) {
  EXPECT_EQ(text_right(u"abc", 5), u"abc");
  EXPECT_EQ(text_right(u"abc", 3), u"abc");
  EXPECT_EQ(text_right(u"abc", 2), u"bc");
  EXPECT_EQ(text_right(u"abc", 0), u"");
  EXPECT_EQ(text_right(u"abc", -1), u"");
  EXPECT_EQ(text_right(u"fern.ifs", 3), u"ifs");
}

TEST(TextCut, TrimRemovesOnlyTheTrimCharacter) {
  EXPECT_EQ(text_trim(u"   "), u"");
  EXPECT_EQ(text_trim(u" a b "), u"a b");
  EXPECT_EQ(text_trim(u"\ta b\t"), u"\ta b\t");
  EXPECT_EQ(text_trim(u"  \ta\n "), u"\ta\n");
  EXPECT_EQ(text_trim(u""), u"");
  EXPECT_EQ(text_trim(u"xxaxx", u"xyz"), u"a") << "only the first code unit of the trim characters";
  EXPECT_EQ(text_trim(u"yay", u"xyz"), u"yay");
  EXPECT_EQ(text_trim(u" a ", u""), u" a ");
}

TEST(TextCut, LowerUsesTheSystemCaseMapping) {
  EXPECT_EQ(text_lower(u"FERN.IFS"), u"fern.ifs");
  EXPECT_EQ(text_lower(u"\u00C9T\u00C9 \u0416"), u"\u00E9t\u00E9 \u0436");
  EXPECT_EQ(text_lower(text_view(NULL_TEXT)), u"");
  std::u16string with_null(u"AB\0CD", 5);
  EXPECT_EQ(text_lower(with_null), std::u16string(u"ab\0cd", 5));
}

TEST(TextField, SingleCharacterDelimiter) {
  EXPECT_EQ(text_field(u"1 2 3", 2, u" "), u"2");
  EXPECT_EQ(text_field(u"1 2 3", 1, u" "), u"1");
  EXPECT_EQ(text_field(u"1 2 3", 3, u" "), u"3");
  EXPECT_EQ(text_field(u"1  3", 2, u" "), u"");
  EXPECT_EQ(text_field(u"1  3", 3, u" "), u"3");
  EXPECT_EQ(text_field(u"1 2", 3, u" "), u"");
  EXPECT_EQ(text_field(u"1 2", 0, u" "), u"");
  EXPECT_EQ(text_field(u"1 2", -4, u" "), u"");
  EXPECT_EQ(text_field(u" 1", 1, u" "), u"") << "a leading delimiter makes field 1 empty";
  EXPECT_EQ(text_field(u" 1", 2, u" "), u"1");
  EXPECT_EQ(text_field(u"1 ", 2, u" "), u"") << "a trailing delimiter opens an empty last field";
  EXPECT_EQ(text_field(u"1 ", 3, u" "), u"");
  EXPECT_EQ(text_field(u"1 2", INT32_MAX, u" "), u"");
}

TEST(TextField, EmptyAndLongDelimiters) {
  EXPECT_EQ(text_field(u"a b", 1, u""), u"a b");
  EXPECT_EQ(text_field(u"a b", 2, u""), u"");
  EXPECT_EQ(text_field(text_view(NULL_TEXT), 1, u" "), u"");
  EXPECT_EQ(text_field(u"a::b::::c", 2, u"::"), u"b");
  EXPECT_EQ(text_field(u"a::b::::c", 3, u"::"), u"");
  EXPECT_EQ(text_field(u"a::b::::c", 4, u"::"), u"c");
  EXPECT_EQ(text_field(u"a:b", 2, u"::"), u"");
  EXPECT_EQ(text_field(u"a:b", 1, u"::"), u"a:b");
}

std::uint32_t bits_of(float value) { return std::bit_cast<std::uint32_t>(value); }

TEST(TextToFloat, ReadsNumbersWithThePointAsDecimalSeparator) {
  EXPECT_EQ(bits_of(text_to_float(u"")), bits_of(0.0f));
  EXPECT_EQ(bits_of(text_to_float(text_view(NULL_TEXT))), bits_of(0.0f));
  EXPECT_EQ(bits_of(text_to_float(u"abc")), bits_of(0.0f));
  EXPECT_EQ(text_to_float(u"0.25"), 0.25f);
  EXPECT_EQ(text_to_float(u" -1.5e2"), -150.0f);
  EXPECT_EQ(text_to_float(u"0,5"), 0.0f);
  EXPECT_EQ(text_to_float(u"\t\n+7"), 7.0f);
  EXPECT_EQ(text_to_float(u".5"), 0.5f);
  EXPECT_EQ(text_to_float(u"5."), 5.0f);
  EXPECT_EQ(text_to_float(u"2e"), 2.0f) << "an exponent needs digits";
  EXPECT_EQ(text_to_float(u"2e+"), 2.0f);
  EXPECT_EQ(text_to_float(u"2E-1x"), 0.2f);
  EXPECT_EQ(text_to_float(u"1 2"), 1.0f);
  EXPECT_EQ(text_to_float(u"-"), 0.0f);
  EXPECT_EQ(text_to_float(u"."), 0.0f);
  EXPECT_EQ(text_to_float(u"inf"), 0.0f) << "only the three words are special";
  EXPECT_EQ(text_to_float(u"0x10"), 0.0f) << "no hexadecimal";
  EXPECT_EQ(text_to_float(u"\u00A0" u"1"), 0.0f);
  EXPECT_EQ(bits_of(text_to_float(u"-0")), bits_of(-0.0f));
  // 0.1 rounded once to float, not through double first.
  EXPECT_EQ(text_to_float(u"0.1"), 0.1f);
  EXPECT_EQ(text_to_float(u"16777217"), 16777216.0f);
}

TEST(TextToFloat, SpecialWordsIgnoreCase) {
  EXPECT_EQ(text_to_float(u"+Infinity"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(text_to_float(u"+infinity"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(text_to_float(u"-INFINITY"), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(bits_of(text_to_float(u"NaN")), 0xFFC00000u);
  EXPECT_EQ(bits_of(text_to_float(u"nan")), 0xFFC00000u);
  EXPECT_EQ(text_to_float(u"Infinity"), 0.0f) << "the sign belongs to the word";
  EXPECT_EQ(text_to_float(u" NaN"), 0.0f) << "the whole text must be the word";
}

TEST(TextToFloat, OutOfRangeValuesBecomeInfinityOrZero) {
  EXPECT_EQ(text_to_float(u"1e39"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(text_to_float(u"-1e99999999999"), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(text_to_float(u"0.000000000000000000000000000000000000000000000001e-3"), 0.0f);
  EXPECT_EQ(bits_of(text_to_float(u"-1e-50")), bits_of(-0.0f));
  EXPECT_EQ(text_to_float(u"1e-45"), std::numeric_limits<float>::denorm_min());
  EXPECT_EQ(text_to_float(u"340282346638528859811704183484516925440"), std::numeric_limits<float>::max());
}

TEST(TextToFloat, LeavesTheProcessLocaleAlone) {
  std::string before = std::setlocale(LC_ALL, nullptr);
  EXPECT_EQ(text_to_float(u"2.5"), 2.5f);
  EXPECT_EQ(before, std::setlocale(LC_ALL, nullptr));
}

// glibc's strtof reads the same decimal grammar and rounds correctly: an
// independent reader to compare against over many generated texts.
TEST(TextToFloat, AgreesWithTheCLibraryReader) {
  std::mt19937 random(1234);
  const char alphabet[] = "0123456789.eE+- 0123456789";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    std::size_t length = 1 + random() % 24;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof(alphabet) - 1)];
    std::u16string wide(text.begin(), text.end());
    float expected = std::strtof(text.c_str(), nullptr);
    ASSERT_EQ(bits_of(text_to_float(wide)), bits_of(expected)) << '"' << text << '"';
  }
}

TEST(TextJoin, ConcatJoinsInOrderAndSkipsNullTexts) {
  std::u16string directory = u"/home/user/";
  EXPECT_EQ(text_concat(directory, u"fern", NULL_TEXT, u".ifs"), u"/home/user/fern.ifs");
  EXPECT_EQ(text_concat(NULL_TEXT), u"");
  EXPECT_EQ(text_concat(std::u16string_view(u"a")), u"a");
  std::u16string self = u"ab";
  EXPECT_EQ(text_concat(self, self), u"abab");
}

TEST(TextPath, DirectoryPartEndsAtTheLastSeparator) {
  EXPECT_EQ(path_part(u"C:\\Users\\me\\fern.ifs"), u"C:\\Users\\me\\");
  EXPECT_EQ(path_part(u"fern.ifs"), u"");
  EXPECT_EQ(path_part(u"\"C:\\Users\\me\\fern.ifs\""), u"C:\\Users\\me\\");
  EXPECT_EQ(path_part(u"/home/me/a.ifs|/other/dir/"), u"/home/me/");
  EXPECT_EQ(path_part(u"a.ifs|/other/dir/"), u"");
  EXPECT_EQ(path_part(u"/home/me\\mixed/x"), u"/home/me\\mixed/");
  EXPECT_EQ(path_part(u"\""), u"");
  EXPECT_EQ(path_part(text_view(NULL_TEXT)), u"");
}

}  // namespace
