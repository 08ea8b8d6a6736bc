// GetCommandLineW: the process's arguments joined so that the program's
// parameter split (runs of spaces separate; a token opened by a double quote
// runs to the next lone one, two quotes inside standing for one) returns each
// argument whole.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/process_arguments.h"
#include "temporary_folder.h"

namespace {

// The split the runtime applies to the command line, written out here as
// an independent reader.
std::vector<std::u16string> split_parameters(std::u16string_view line) {
  std::vector<std::u16string> tokens;
  std::size_t position = 0;
  while (true) {
    while (position < line.size() && line[position] == u' ') ++position;
    if (position == line.size()) return tokens;
    if (line[position] == u'"') {
      // Two quotes inside stand for one; a single one closes.
      std::u16string token;
      for (++position; position < line.size(); ++position) {
        if (line[position] != u'"') {
          token += line[position];
        } else if (position + 1 < line.size() && line[position + 1] == u'"') {
          token += u'"';
          ++position;
        } else {
          ++position;
          break;
        }
      }
      tokens.push_back(token);
    } else {
      std::size_t end = line.find(u' ', position);
      if (end == std::u16string_view::npos) end = line.size();
      tokens.emplace_back(line.substr(position, end - position));
      position = end;
    }
  }
}

TEST(CommandLine, ArgumentsWithSpacesOrEmptyComeBackWhole) {
  const char* arguments[] = {"/opt/ifs render/ifs-render", "my fern.ifs", "", "plain.ifs", "tab\there", "caf\xC3\xA9",
                             "say \"hi\"", "a\xFF"};
  kernel32_set_process_arguments(8, arguments);
  std::u16string line = GetCommandLineW();
  EXPECT_EQ(line, u"\"/opt/ifs render/ifs-render\" \"my fern.ifs\" \"\" plain.ifs tab\there caf\u00E9 "
                  u"\"say \"\"hi\"\"\" a\xDCFF");
  std::vector<std::u16string> expected = {u"/opt/ifs render/ifs-render", u"my fern.ifs", u"", u"plain.ifs",
                                          u"tab\there", u"caf\u00E9", u"say \"hi\"", u"a\xDCFF"};
  EXPECT_EQ(split_parameters(line), expected);

  const char* only_program[] = {"ifs-render"};
  LPWSTR earlier = GetCommandLineW();
  kernel32_set_process_arguments(1, only_program);
  EXPECT_EQ(std::u16string(GetCommandLineW()), u"ifs-render");
  EXPECT_EQ(std::u16string(earlier), line);  // a pointer handed out earlier stays valid
  kernel32_set_process_arguments(0, nullptr);
  EXPECT_EQ(std::u16string(GetCommandLineW()), u"");
}

TEST(CommandLineDeathTest, WithoutHandOverTheProcessArgumentsAreRead) {
  // The thread-safe style runs this in a fresh copy of the test program, in
  // which nothing has handed arguments over yet.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto matches_own_arguments = [] {
    std::vector<std::u16string> expected;
    for (const std::string& argument : ::testing::internal::GetArgvs()) expected.push_back(utf8_to_utf16(argument));
    return split_parameters(GetCommandLineW()) == expected;
  };
  EXPECT_EXIT(std::exit(matches_own_arguments() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(ProcessDeathTest, ExitProcessFlushesOutputAndEndsWithTheCode) {
  TemporaryFolder folder;
  std::string path = folder.file("out.txt");
  auto write_then_exit = [&] {
    std::FILE* out = std::fopen(path.c_str(), "w");
    std::fputs("still buffered", out);
    ExitProcess(7);
  };
  EXPECT_EXIT(write_then_exit(), ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(read_whole_file(path), "still buffered");
}

}  // namespace
