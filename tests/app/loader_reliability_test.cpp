// Loads as an unlucky user meets them, on the real program: a file rewritten
// by another program between the loader's two passes, a huge file of zeros
// or blank lines, a memory limit, an empty name.
#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "support/app_fixture.h"
#include "support/program_child.h"
#include "support/sanitized.h"

namespace {

constexpr long long MEGABYTE = 1024 * 1024;

std::string text_of(const std::string& path) {
  const Bytes bytes = read_file(path);
  return std::string(bytes.begin(), bytes.end());
}

class LoaderReliability : public FernFileTest {
 protected:
  ChildEnd render(const std::string& file, const std::vector<std::pair<std::string, std::string>>& environment = {}) {
    child.arguments = {"-o", folder.file("x.png"), file, "-n", "1"};
    child.errors = folder.file("errors.txt");
    child.environment = environment;
    return program_child_run(IFS_RENDER_PROGRAM, child);
  }
  std::string errors() const { return text_of(child.errors); }
  ProgramChild child;
};

TEST_F(LoaderReliability, AFileRewrittenBetweenThePassesIsRefusedAsAFailedRead) {
  ASSERT_EQ(render(fern).code, 0);
  const Bytes expected = read_file(folder.file("x.png"));
  std::remove(folder.file("x.png").c_str());
  const std::string fern_again = FERN_TEXT;
  std::string changed = FERN_TEXT;
  changed[0] = '1';  // the same size, one value other
  for (const std::string& rewritten : {FERN_TEXT.substr(0, FERN_TEXT.find('\n') + 1), changed}) {
    ::write_file(fern, Bytes(FERN_TEXT.begin(), FERN_TEXT.end()));
    const ChildEnd end = render(fern, {{"LD_PRELOAD", REWRITE_ON_REWIND},
                                       {"ASAN_OPTIONS", "verify_asan_link_order=0"},
                                       {"REWRITE_FILE", fern},
                                       {"REWRITE_TEXT", rewritten}});
    EXPECT_EQ(end.code, 2);
    EXPECT_EQ(errors(), "Load IFS: Error read " + fern + "\nifs-render: " + fern + ": the file changed while it was read\n");
    EXPECT_EQ(text_of(fern), rewritten) << "the rewrite did not happen";
    EXPECT_FALSE(file_exists(folder.file("x.png")));
  }
  // Written again with the same text, it is the same table.
  ::write_file(fern, Bytes(FERN_TEXT.begin(), FERN_TEXT.end()));
  const ChildEnd same = render(fern, {{"LD_PRELOAD", REWRITE_ON_REWIND},
                                      {"ASAN_OPTIONS", "verify_asan_link_order=0"},
                                      {"REWRITE_FILE", fern},
                                      {"REWRITE_TEXT", fern_again}});
  EXPECT_EQ(same.code, 0) << errors();
  EXPECT_EQ(read_file(folder.file("x.png")), expected);
}

TEST_F(LoaderReliability, AHugeSparseFileOfZerosIsRefusedOnItsFirstLine) {
  const std::string zeros = folder.file("zeros.ifs");
  ASSERT_EQ(truncate(zeros.c_str(), 0), -1);  // not there yet
  std::fclose(std::fopen(zeros.c_str(), "wb"));
  ASSERT_EQ(truncate(zeros.c_str(), 2048 * MEGABYTE), 0);
  EXPECT_EQ(render(zeros).code, 2);
  EXPECT_EQ(errors(), "IFS load: wrong parameter \\r\\n" + zeros + "\nifs-render: " + zeros +
                          ":1: expected seven numbers separated by single spaces, found 0 spaces\n");
}

TEST_F(LoaderReliability, TheSearchForALibraryHeaderStopsAfterAMegabyteOfBlankLines) {
  const std::string table = "fern {\n0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n}\n";
  const std::string near = folder.file("near.ifs"), far = folder.file("far.ifs");
  const std::string near_text = "; a comment\n" + std::string(1000, '\n') + table;
  const std::string far_text = "; a comment\n" + std::string(2 * MEGABYTE, '\n') + table;
  ::write_file(near, Bytes(near_text.begin(), near_text.end()));
  ::write_file(far, Bytes(far_text.begin(), far_text.end()));
  EXPECT_EQ(render(near).code, 0) << errors();
  EXPECT_EQ(render(far).code, 2);
  EXPECT_EQ(errors(), "IFS load: wrong parameter ; a comment\\r\\n" + far + "\nifs-render: " + far +
                          ":1: expected seven numbers separated by single spaces, found 2 spaces\n");
}

TEST_F(LoaderReliability, ALongRunOfBlankLinesInALibraryIsCountedLineForLine) {
  // Every line end the line reader knows, runs long enough to be passed over
  // in pieces, a CR LF likely split between two of them.
  std::string text = "fern {\n1 0 0 1 0 0 1\n";
  const std::pair<std::string, int> runs[] = {
      {"\n", 100}, {"\r\n", 200000}, {"  ; a comment\r", 1000}, {std::string(1, '\0'), 5000}, {" \t\v\f\n", 1000}};
  int blank_lines = 0;
  for (const auto& [line, count] : runs) {
    for (int i = 0; i < count; ++i) text += line;
    blank_lines += count;
  }
  text += "oops\n}\n";
  const std::string path = folder.file("padded.ifs");
  ::write_file(path, Bytes(text.begin(), text.end()));
  EXPECT_EQ(render(path).code, 2);
  const std::string line = std::to_string(2 + blank_lines + 1);
  EXPECT_EQ(errors(), "IFS load: Block \"fern\", line " + line + ": expected a number, not \"oops\"\\r\\n" + path +
                          "\nifs-render: " + path + ":" + line + ": expected a number, not \"oops\"\n");
}

TEST_F(LoaderReliability, UnderAnyMemoryLimitTheProgramSaysSoAndNeverAborts) {
  if (SANITIZED) GTEST_SKIP() << "the sanitizers reserve more address space than any limit here";
  const std::string line = folder.file("line.ifs");
  {
    std::FILE* file = std::fopen(line.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("1 0 0 1 0 0 ", file);
    const std::string digits(MEGABYTE, '7');
    for (int written = 0; written < 100; ++written) std::fwrite(digits.data(), 1, digits.size(), file);
    std::fputs("\n", file);
    std::fclose(file);
  }
  for (const std::string& file : {fern, line}) {
    for (long long limit = 24 * MEGABYTE; limit <= 256 * MEGABYTE; limit += 24 * MEGABYTE) {
      child.memory_limit = limit;
      const ChildEnd end = render(file);
      const std::string said = errors();
      ASSERT_TRUE(end.exited) << file << " under " << limit / MEGABYTE << " MB: signal " << end.signal;
      if (end.code == 127 && said.find("error while loading shared libraries") != std::string::npos) continue;
      const bool fine = end.code == 0 && said.empty();
      const bool no_memory = end.code == 1 && said == "ifs-render: not enough memory\n";
      const bool load_refused = end.code == 2 && said == "Load IFS: Not enough memory to read " + file +
                                                               "\nifs-render: " + file + ": not enough memory\n";
      EXPECT_TRUE(fine || no_memory || load_refused)
          << file << " under " << limit / MEGABYTE << " MB: exit " << end.code << ": " << said;
    }
  }
}

TEST_F(LoaderReliability, AnEmptyNameGetsADetailLine) {
  EXPECT_EQ(render("").code, 2);
  EXPECT_EQ(errors(), "Load IFS: Wrong name!\nifs-render: the file name is empty\n");
}

}  // namespace
