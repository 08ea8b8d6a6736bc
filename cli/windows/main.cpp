// Program entry on Windows: the runtime runs over the system's own windows.
//
// The program is built for the windows subsystem, so Explorer opens no
// console for it; the command line's text still reaches a console or a
// redirected stream (console_streams.h). Arguments come from the wide
// command line: the system code page cannot hold most names.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/offscreen_render.h"
#include "cli/render_options.h"
#include "cli/system_names.h"
#include "cli/windows/console_streams.h"
#include "platform/desktop_display.h"

namespace {

bool open_desktop_display() { return desktop_display_open(nullptr); }

std::vector<std::string> arguments_of(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int index = 1; index < argc; ++index) {
    // char16_t and wchar_t share size and representation on Windows.
    arguments.push_back(name_to_system(reinterpret_cast<const char16_t*>(argv[index])));
  }
  return arguments;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> arguments = arguments_of(argc, argv);
  // The desktop program prints nothing; joined to a console it would also
  // end when that console is closed.
  if (render_options_parse(arguments).mode != MODE_DESKTOP) console_streams_connect();
  return ifs_render_main(arguments, stdin, stdout, stderr, open_desktop_display);
}
