// What the command line prints from files and names: readable characters pass
// through as UTF-8, everything that could steer a terminal is spelled out.
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace {

TEST(TerminalText, PrintableCharactersPassThroughAsUtf8) {
  // U+00E9 is C3 A9, U+20AC is E2 82 AC and U+1F600 (a surrogate pair) is F0 9F 98 80 in UTF-8.
  EXPECT_EQ(terminal_text(u"fern \u00e9\u20ac\U0001F600.ifs"), "fern \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80.ifs");
}

TEST(TerminalText, ControlsSurrogatesAndReorderingMarksAreEscaped) {
  EXPECT_EQ(terminal_text(u"a\r\n\tb\x1B[2J"), "a\\r\\n\\tb\\e[2J");
  EXPECT_EQ(terminal_text(u"\x07\x7F\x9B"), "\\x07\\x7f\\u009b");
  EXPECT_EQ(terminal_text(u"x\u202Ey\u2028z"), "x\\u202ey\\u2028z");
  // A byte of a name that is not UTF-8, then lone surrogates of other kinds.
  EXPECT_EQ(terminal_text(u"a\xDCFF"), "a\\xff");
  EXPECT_EQ(terminal_text(u"\xD800x\xDC10"), "\\ud800x\\udc10");
}

}  // namespace
