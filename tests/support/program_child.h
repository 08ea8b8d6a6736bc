// The built program run as a user runs it, in a child process: its standard
// streams on files, with the limits a shell's ulimit sets, and a way to kill
// it part way.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

struct ProgramChild {
  std::vector<std::string> arguments;  // after the program's name
  std::string input = "/dev/null";     // opened as standard input
  std::string output = "/dev/null";    // standard output is written here
  std::string errors = "/dev/null";    // standard error is written here
  long long file_size_limit = -1;      // bytes (RLIMIT_FSIZE); -1: none
  long long memory_limit = -1;         // bytes of address space (RLIMIT_AS); -1: none
  std::vector<std::pair<std::string, std::string>> environment;  // set on top of the test's own
};

struct ChildEnd {
  bool exited = false;
  int code = -1;    // the exit status, when it exited
  int signal = 0;   // the signal that ended it, when one did
};

// The program at `program`, started; -1 when it cannot be.
pid_t program_child_start(const std::string& program, const ProgramChild& child);
ChildEnd program_child_wait(pid_t child);
ChildEnd program_child_run(const std::string& program, const ProgramChild& child);

// The ifs-render of this build.
#define IFS_RENDER_PROGRAM (std::string(IFS_BINARY_DIR) + "/ifs-render")
