#include "support/program_child.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

void limit(int resource, long long bytes) {
  if (bytes < 0) return;
  const rlimit value{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  setrlimit(resource, &value);
}

void redirect(const std::string& path, int flags, int descriptor) {
  const int opened = open(path.c_str(), flags, 0644);
  if (opened < 0) _exit(127);
  dup2(opened, descriptor);
  close(opened);
}

}  // namespace

pid_t program_child_start(const std::string& program, const ProgramChild& child) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : child.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  redirect(child.input, O_RDONLY, STDIN_FILENO);
  redirect(child.output, O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
  redirect(child.errors, O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
  limit(RLIMIT_FSIZE, child.file_size_limit);
  limit(RLIMIT_AS, child.memory_limit);
  for (const auto& [name, value] : child.environment) setenv(name.c_str(), value.c_str(), 1);
  execv(program.c_str(), argv.data());
  _exit(127);
}

ChildEnd program_child_wait(pid_t child) {
  ChildEnd end;
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return end;
  end.exited = WIFEXITED(status);
  if (end.exited) end.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

ChildEnd program_child_run(const std::string& program, const ProgramChild& child) {
  return program_child_wait(program_child_start(program, child));
}
