// GetCommandLineW: the program entry hands its arguments over with
// kernel32_set_process_arguments; without that they are read from
// /proc/self/cmdline.
#include "platform/kernel32/command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <mutex>

#include "platform/kernel32/text_conversion.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/process_arguments.h"

namespace {

struct CommandLineState {
  std::mutex lock;
  // Every line ever built stays alive: a pointer GetCommandLineW returned
  // must remain valid for the life of the process, as on Win32.
  std::deque<std::u16string> lines;
};

CommandLineState& state() {
  static CommandLineState* instance = new CommandLineState;
  return *instance;
}

// Read with the system's calls: a file stream would set up the C++ locales,
// which cost the desktop program's start a megabyte of pages.
std::string bytes_of_cmdline() {
  std::string bytes;
  const int file = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (file < 0) return bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(file, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  close(file);
  return bytes;
}

std::vector<std::string> arguments_of_this_process() {
  const std::string bytes = bytes_of_cmdline();
  std::vector<std::string> arguments;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
    arguments.push_back(bytes.substr(start, end - start));
  return arguments;
}

}  // namespace

std::u16string command_line_from_arguments(const std::vector<std::string>& arguments) {
  std::u16string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += u' ';
    const bool quoted = argument.empty() || argument.find_first_of(" \"") != std::string::npos;
    if (!quoted) {
      line += bytes_to_utf16(argument);
      continue;
    }
    line += u'"';
    for (char16_t unit : bytes_to_utf16(argument)) {
      if (unit == u'"') line += u'"';  // doubled inside quotes
      line += unit;
    }
    line += u'"';
  }
  return line;
}

void kernel32_set_process_arguments(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int index = 0; index < argc && argv && argv[index]; ++index) arguments.emplace_back(argv[index]);
  std::u16string line = command_line_from_arguments(arguments);
  CommandLineState& lines = state();
  std::lock_guard guard(lines.lock);
  lines.lines.push_back(std::move(line));
}

LPWSTR GetCommandLineW() {
  CommandLineState& lines = state();
  std::lock_guard guard(lines.lock);
  if (lines.lines.empty()) lines.lines.push_back(command_line_from_arguments(arguments_of_this_process()));
  return lines.lines.back().data();
}
