// Program entry: hands the arguments to the platform's command line and runs
// the program, on the GTK display when one can be opened.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line_renderer.h"
#include "platform/backend/gtk/gtk_backend.h"
#include "platform/win32/process_arguments.h"

int main(int argc, char** argv) {
  // A write past the file-size limit then fails with EFBIG and is reported,
  // standard output included, instead of killing the program unannounced.
  std::signal(SIGXFSZ, SIG_IGN);
  kernel32_set_process_arguments(argc, argv);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return ifs_render_main(arguments, stdin, stdout, stderr, gtk_backend_open);
}
