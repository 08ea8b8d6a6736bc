// Peak memory of the program on a huge rejected line, measured on the real
// program in a child process: no input may make it use more than about three
// times the file's size plus 16 MB.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "support/image_readers.h"
#include "support/sanitized.h"

extern char** environ;

namespace {

constexpr long long MEGABYTE = 1024 * 1024;

struct ChildRun {
  int exit_code = -1;
  long long peak_bytes = 0;
};

ChildRun run_program(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  ChildRun result;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.peak_bytes = static_cast<long long>(usage.ru_maxrss) * 1024;
  }
  posix_spawn_file_actions_destroy(&actions);
  return result;
}

TEST(MemoryBound, AHugeRejectedLineNeedsAtMostThreeTimesTheFileAndSixteenMegabytes) {
  if (SANITIZED) GTEST_SKIP() << "the sanitizers' own memory would be measured, not the program's";
  const std::string program = std::string(IFS_BINARY_DIR) + "/ifs-render";
  ASSERT_EQ(access(program.c_str(), X_OK), 0) << "build the program first: " << program;
  ScratchFolder folder;
  const std::string path = folder.file("huge.ifs");
  constexpr long long LINE = 64 * MEGABYTE;
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("1 2 3 ", file);
    const std::string chunk(MEGABYTE, 'x');
    for (long long written = 0; written < LINE; written += MEGABYTE) std::fwrite(chunk.data(), 1, chunk.size(), file);
    std::fputs("\n", file);
    std::fclose(file);
  }
  const ChildRun run = run_program({program, "--output", folder.file("x.png"), path});
  EXPECT_EQ(run.exit_code, 2);  // rejected: not six spaces
  EXPECT_GT(run.peak_bytes, LINE) << "the line was read whole";
  EXPECT_LE(run.peak_bytes, 3 * LINE + 16 * MEGABYTE) << run.peak_bytes / MEGABYTE << " MB";
}

}  // namespace
