// --write-ifs as an unlucky user meets it: a file-size limit part way, the
// program killed while it writes, a hostile name in the message. The table
// it replaces is never left cut short.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/image_readers.h"
#include "support/program_child.h"
#include "support/sanitized.h"

namespace {

std::string text_of(const std::string& path) {
  const Bytes bytes = read_file(path);
  return std::string(bytes.begin(), bytes.end());
}

void write_text(const std::string& path, const std::string& text) { write_file(path, Bytes(text.begin(), text.end())); }

// A table written by another program: `maps` lines of seven numbers.
std::string many_maps(int maps) {
  std::string text;
  for (int map = 0; map < maps; ++map) text += "0.5 0 0 0.5 " + std::to_string(map) + " 0.25 0.125\n";
  return text;
}

const std::string OLD_TABLE = "0 0 0 0.16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1.6 0.85\n";

TEST(TableWriting, AFileSizeLimitFailsTheWriteWithTheSystemsReasonAndKeepsTheOldTable) {
  ScratchFolder folder;
  const std::string source = folder.file("many.ifs"), target = folder.file("table.ifs");
  write_text(source, many_maps(20000));
  write_text(target, OLD_TABLE);
  ProgramChild child;
  child.arguments = {"--write-ifs", target, source};
  child.errors = folder.file("errors.txt");
  child.file_size_limit = 64 * 1024;
  ChildEnd end = program_child_run(IFS_RENDER_PROGRAM, child);
  ASSERT_TRUE(end.exited) << "ended by signal " << end.signal;
  EXPECT_EQ(end.code, 1);
  EXPECT_EQ(text_of(child.errors), "ifs-render: cannot write the table to " + target + ": " + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(text_of(target), OLD_TABLE);

  // Standard output redirected to a file meets the same limit.
  child.arguments = {"--write-ifs", "-", source};
  child.output = folder.file("out.ifs");
  end = program_child_run(IFS_RENDER_PROGRAM, child);
  ASSERT_TRUE(end.exited) << "ended by signal " << end.signal;
  EXPECT_EQ(end.code, 1);
  EXPECT_EQ(text_of(child.errors), std::string("ifs-render: cannot write the table to standard output: ") +
                                       std::strerror(EFBIG) + "\n");
}

TEST(TableWriting, KilledAtAnyMomentTheTargetIsTheOldTableOrTheWholeNewOne) {
  ScratchFolder folder;
  const std::string source = folder.file("many.ifs"), target = folder.file("table.ifs");
  // Big enough that a write takes a while; smaller where the sanitizers slow everything down.
  write_text(source, many_maps(SANITIZED ? 50000 : 400000));
  ProgramChild child;
  child.arguments = {"--write-ifs", target, source};
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 0);
  const auto whole_run = std::chrono::steady_clock::now() - started;
  const std::string new_table = text_of(target);
  ASSERT_GT(new_table.size(), OLD_TABLE.size());

  constexpr int MOMENTS = 12;
  int old_kept = 0;
  for (int moment = 1; moment <= MOMENTS; ++moment) {
    write_text(target, OLD_TABLE);
    const pid_t pid = program_child_start(IFS_RENDER_PROGRAM, child);
    std::this_thread::sleep_for(whole_run * moment / MOMENTS);
    kill(pid, SIGKILL);
    program_child_wait(pid);
    const std::string found = text_of(target);
    EXPECT_TRUE(found == OLD_TABLE || found == new_table)
        << "killed at " << moment << "/" << MOMENTS << " of the run: " << found.size() << " bytes";
    old_kept += found == OLD_TABLE;
  }
  EXPECT_GT(old_kept, 0) << "no kill came before the end of the write";
}

TEST(TableWriting, TheTargetsNameIsShownSafeForTheTerminal) {
  ScratchFolder folder;
  write_text(folder.file("fern.ifs"), OLD_TABLE);
  const std::string hostile = folder.file("no\x1b[2J\x07\r\nifs-render: fine/x.ifs");
  ProgramChild child;
  child.arguments = {"--write-ifs", hostile, folder.file("fern.ifs")};
  child.errors = folder.file("errors.txt");
  EXPECT_EQ(program_child_run(IFS_RENDER_PROGRAM, child).code, 1);
  EXPECT_EQ(text_of(child.errors), "ifs-render: cannot write the table to " + folder.file("no\\e[2J\\x07\\r\\nifs-render: fine/x.ifs") +
                                       ": " + std::strerror(ENOENT) + "\n");
}

}  // namespace
