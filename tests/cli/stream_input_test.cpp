// Streams given as the .ifs file: standard input, a FIFO, /dev/stdin, a
// device. Each is read as it comes, bounded, and the picture is the one the
// same table given as a file makes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "support/app_fixture.h"
#include "support/program_child.h"

namespace {

std::string text_of(const std::string& path) {
  const Bytes bytes = read_file(path);
  return std::string(bytes.begin(), bytes.end());
}

// Writes `text` into a FIFO once a reader opens it.
std::thread feed_fifo(const std::string& fifo, const std::string& text) {
  return std::thread([fifo, text] {
    if (std::FILE* writer = std::fopen(fifo.c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), writer);
      std::fclose(writer);
    }
  });
}

class StreamInput : public FernFileTest {
 protected:
  // The fern rendered from its file, to compare against.
  void SetUp() override {
    FernFileTest::SetUp();
    ASSERT_EQ(ifs_render_main({"-o", folder.file("expected.png"), fern, "-n", "1"}, stdout, stderr), 0);
  }
  ProgramChild child_with_errors() {
    ProgramChild child;
    child.errors = folder.file("errors.txt");
    return child;
  }
};

TEST_F(StreamInput, AnEndlessStreamIsRefusedAtTheBoundAndLeavesNothingInTmpdir) {
  const std::string temporary = folder.file("tmp");
  ASSERT_EQ(mkdir(temporary.c_str(), 0700), 0);
  ProgramChild child = child_with_errors();
  child.environment = {{"TMPDIR", temporary}};
  child.input = "/dev/zero";
  child.arguments = {"-o", folder.file("x.png"), "-"};
  ChildEnd end = program_child_run(IFS_RENDER_PROGRAM, child);
  EXPECT_EQ(end.code, 2);
  EXPECT_EQ(text_of(child.errors),
            "ifs-render: cannot read standard input: it holds more than 256 MiB, the most a stream may bring\n");
  // A device given by name is a stream too.
  child.input = "/dev/null";
  child.arguments = {"-o", folder.file("x.png"), "/dev/zero"};
  end = program_child_run(IFS_RENDER_PROGRAM, child);
  EXPECT_EQ(end.code, 2);
  EXPECT_EQ(text_of(child.errors),
            "ifs-render: cannot read /dev/zero: it holds more than 256 MiB, the most a stream may bring\n");
  EXPECT_TRUE(std::filesystem::is_empty(temporary));
  EXPECT_FALSE(file_exists(folder.file("x.png")));
}

TEST_F(StreamInput, APipeIsCopiedIntoTmpdirAndARegularFileIsReadInPlace) {
  ProgramChild child = child_with_errors();
  child.environment = {{"TMPDIR", folder.file("missing")}};
  const std::string fifo = folder.file("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer = feed_fifo(fifo, FERN_TEXT);
  child.input = fifo;
  child.arguments = {"-o", folder.file("x.png"), "-", "-n", "1"};
  EXPECT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 2);
  writer.join();
  EXPECT_EQ(text_of(child.errors), std::string("ifs-render: cannot read standard input: ") + std::strerror(ENOENT) + "\n");
  // A file on standard input needs no copy.
  child.input = fern;
  EXPECT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 0) << text_of(child.errors);
  EXPECT_EQ(read_file(folder.file("x.png")), read_file(folder.file("expected.png")));
}

TEST_F(StreamInput, AFileOnStandardInputThatWasReadPartWayGivesTheRest) {
  const std::string path = folder.file("after-a-line.ifs");
  const std::string text = "a line someone read\n" + FERN_TEXT;
  ::write_file(path, Bytes(text.begin(), text.end()));
  std::FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  char first[64];
  ASSERT_NE(std::fgets(first, sizeof first, in), nullptr);
  EXPECT_EQ(ifs_render_main({"-o", folder.file("x.png"), "-", "-n", "1"}, in, stdout, stderr), 0);
  std::fclose(in);
  EXPECT_EQ(read_file(folder.file("x.png")), read_file(folder.file("expected.png")));
}

TEST_F(StreamInput, AFifoOrDevStdinGivenAsTheFileIsReadAsAStream) {
  const std::string fifo = folder.file("fifo.ifs");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer = feed_fifo(fifo, FERN_TEXT);
  EXPECT_EQ(ifs_render_main({"-o", folder.file("fifo.png"), fifo, "-n", "1"}, stdout, stderr), 0);
  writer.join();
  EXPECT_EQ(read_file(folder.file("fifo.png")), read_file(folder.file("expected.png")));

  // /dev/stdin when standard input is a pipe.
  ProgramChild child = child_with_errors();
  writer = feed_fifo(fifo, FERN_TEXT);
  child.input = fifo;
  child.arguments = {"-o", folder.file("stdin.png"), "/dev/stdin", "-n", "1"};
  EXPECT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 0) << text_of(child.errors);
  writer.join();
  EXPECT_EQ(read_file(folder.file("stdin.png")), read_file(folder.file("expected.png")));

  // A FIFO whose writer sends nothing is an empty file, named as given.
  writer = feed_fifo(fifo, "");
  child.input = "/dev/null";
  child.arguments = {"-o", folder.file("none.png"), fifo};
  EXPECT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 2);
  writer.join();
  EXPECT_EQ(text_of(child.errors), "Load IFS: Wrong size " + fifo + "\nifs-render: " + fifo + ": the file is empty\n");
}

}  // namespace
