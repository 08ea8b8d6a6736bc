// The block format read on its own: block boundaries, names and options,
// maps as the loader's seven-number lines, and where each kind of fault is
// found and what it says was expected.
#include "app/ifs_library.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/library_text.h"

namespace {

std::vector<std::u16string> lines_of(const std::string& text) {
  std::vector<std::u16string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.emplace_back(line.begin(), line.end());
  }
  return lines;
}

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

IfsLibrary parse(const std::string& text) { return ifs_library_parse(lines_of(text)); }

TEST(IfsLibrary, EveryBlockOfTheLibraryIsFoundWithItsMapsAsSevenNumberLines) {
  const IfsLibrary library = parse(LIBRARY_TEXT);
  EXPECT_EQ(library.fault.line, 0);
  ASSERT_EQ(library.blocks.size(), LIBRARY_NAMES.size());
  for (std::size_t index = 0; index < LIBRARY_NAMES.size(); ++index)
    EXPECT_EQ(library.blocks[index].name, wide(LIBRARY_NAMES[index]));

  for (const PlainTable& plain : LIBRARY_PLAIN_TABLES) {
    const IfsBlock* block = ifs_library_find(library, wide(plain.name));
    ASSERT_NE(block, nullptr) << plain.name;
    EXPECT_EQ(block->fault.line, 0) << plain.name;
    EXPECT_FALSE(block->three_d);
    EXPECT_EQ(block->maps, lines_of(plain.text)) << plain.name;
  }
  EXPECT_EQ(library.blocks[0].line, 4);
  EXPECT_EQ(ifs_library_find(library, u"")->name, u"fern");
  EXPECT_EQ(ifs_library_find(library, u"Fern"), nullptr);

  const IfsBlock& three_d = library.blocks[2];
  EXPECT_TRUE(three_d.three_d);
  EXPECT_EQ(three_d.fault.line, 0);
  EXPECT_EQ(three_d.maps.size(), 2u);

  const IfsBlock& broken = library.blocks[3];
  EXPECT_EQ(broken.fault.line, LIBRARY_BROKEN_LINE);
  EXPECT_EQ(broken.fault.expected, u"seven numbers a b c d e f p on one line, not 6");
}

TEST(IfsLibrary, HeadersHaveANameAnOptionalParenthesisAndAnOpeningBrace) {
  for (const char* header : {"fern {", "  fern{ ; comment", "fern (3D) {", "fern(3d){", "a_b-c.1 () {"})
    EXPECT_TRUE(ifs_library_is_header(wide(header))) << header;
  for (const char* other : {"{", "fern", "fern (3D)", "; fern {", "fern (3D {", "0.5 0 0 0.5 0 0 1", "}", ""})
    EXPECT_FALSE(ifs_library_is_header(wide(other))) << other;
  EXPECT_TRUE(ifs_library_is_blank(u" \t ; only a comment { "));
  EXPECT_FALSE(ifs_library_is_blank(u" x ; "));
}

struct FaultCase {
  const char* text;
  std::int64_t line;
  const char16_t* expected;
};

TEST(IfsLibrary, AFaultInABlockNamesItsLineAndWhatWasExpectedAndSparesTheOtherBlocks) {
  const FaultCase cases[] = {
      {"a {\n1 2 3 4 5 6 x\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"a number, not \"x\""},
      {"a {\n1 2 3 4 5 6 7 8\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"seven numbers a b c d e f p on one line, not 8"},
      {"a {\n1 2 3 4 5 6 7\nok {\n1 0 0 1 0 0 1\n}\n", 3, u"\"}\" to end block \"a\" before the next block"},
      {"a {\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"at least one map before \"}\""},
      {"a {\n1 2 3 4 5 6 7 } x\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"nothing after \"}\", not \"x\""},
      {"a (2D) {\n1 2 3 4 5 6 7\n}\nok {\n1 0 0 1 0 0 1\n}\n", 1, u"the option (3D) or none, not \"2D\""},
      {"a (3D) {\n1 2 3 4 5 6 7\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"thirteen numbers on one line, not 7"},
      {"a {\n1 2 3 4 5 6 1e\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"a number, not \"1e\""},
      {"a {\n1 2 3 4 5 6 .\n}\nok {\n1 0 0 1 0 0 1\n}\n", 2, u"a number, not \".\""},
  };
  for (const FaultCase& fault : cases) {
    const IfsLibrary library = parse(fault.text);
    ASSERT_EQ(library.blocks.size(), 2u) << fault.text;
    EXPECT_EQ(library.blocks[0].fault.line, fault.line) << fault.text;
    EXPECT_EQ(library.blocks[0].fault.expected, fault.expected) << fault.text;
    EXPECT_EQ(library.blocks[1].fault.line, 0) << fault.text;
    EXPECT_EQ(library.blocks[1].maps, std::vector<std::u16string>{u"1 0 0 1 0 0 1"}) << fault.text;
  }

  const IfsLibrary unended = parse("a {\n1 2 3 4 5 6 7\n");
  ASSERT_EQ(unended.blocks.size(), 1u);
  EXPECT_EQ(unended.blocks[0].fault.line, 2);
  EXPECT_EQ(unended.blocks[0].fault.expected, u"\"}\" to end block \"a\", not the end of the file");
}

TEST(IfsLibrary, NumbersTakeEverySpellingTheLoaderReadsWhole) {
  const IfsLibrary library = parse("a {\n-1 +2. .3 4.5e1 -6E-2 7e+0 0.\n}\n");
  ASSERT_EQ(library.blocks.size(), 1u);
  EXPECT_EQ(library.blocks[0].fault.line, 0);
  EXPECT_EQ(library.blocks[0].maps, std::vector<std::u16string>{u"-1 +2. .3 4.5e1 -6E-2 7e+0 0."});
}

TEST(IfsLibrary, TextOutsideEveryBlockRefusesTheFile) {
  const IfsLibrary library = parse("a {\n1 0 0 1 0 0 1\n}\n}\nb {\n1 0 0 1 0 0 1\n}\n");
  EXPECT_EQ(library.fault.line, 4);
  EXPECT_EQ(library.fault.expected, u"a block NAME { ... }, not \"}\"");
}

}  // namespace
