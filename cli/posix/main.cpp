// Program entry: hands the arguments to the platform's command line and runs
// the program, on the desktop's display when one can be opened.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/offscreen_render.h"
#include "platform/desktop_display.h"
#include "platform/win32/process_arguments.h"

namespace {

// Nothing can be shown or saved once the display is gone: say why and end.
[[noreturn]] void end_on_lost_display(const char* reason) {
  std::fprintf(stderr, "ifs-render: the display went away: %s\n", reason);
  std::_Exit(EXIT_DISPLAY_LOST);
}

bool open_desktop_display() {
  if (desktop_display_open(end_on_lost_display)) return true;
  if (const char* reason = desktop_display_failure()) std::fprintf(stderr, "ifs-render: %s\n", reason);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // A write past the file-size limit then fails with EFBIG and is reported,
  // standard output included, instead of killing the program unannounced.
  std::signal(SIGXFSZ, SIG_IGN);
  kernel32_set_process_arguments(argc, argv);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return ifs_render_main(arguments, stdin, stdout, stderr, open_desktop_display);
}
