// Program entry on Windows: the runtime runs over the system's own windows,
// so the desktop program needs no display backend from this project; a
// non-null one only tells the renderer that a display is there.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line_renderer.h"

namespace {

// Only its name is set: nothing in the runtime calls a backend on Windows.
const DisplayBackend system_display = [] {
  DisplayBackend display{};
  display.name = "windows";
  return display;
}();

const DisplayBackend* open_system_display() { return &system_display; }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return ifs_render_main(arguments, stdin, stdout, stderr, open_system_display);
}
