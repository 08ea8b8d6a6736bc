// The desktop's display on Linux: GTK's, in a module opened on first use and
// found beside the program through /proc/self/exe, so that the build tree, an
// installed tree and the Debian package all find their own.
#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/backend/desktop_module.h"

namespace {

std::string module_failure;  // why the module could not be opened
std::string failure;         // why the last open failed

std::string program_folder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return {};
  const std::string program(path, static_cast<size_t>(length));
  const size_t slash = program.rfind('/');
  return slash == std::string::npos ? std::string{} : program.substr(0, slash);
}

// The first module found, opened; null with `failure` saying why.
void* open_module() {
  const std::string folder = program_folder();
  if (folder.empty()) {
    module_failure = "cannot find the program's own folder to load its desktop module from";
    return nullptr;
  }
  std::string looked_in;
  for (const char* relative : DESKTOP_MODULE_FOLDERS) {
    const std::string path = folder + "/" + relative + "/" + DESKTOP_MODULE_NAME;
    looked_in += (looked_in.empty() ? "" : " and ") + folder + "/" + relative;
    if (access(path.c_str(), F_OK) != 0) continue;
    // Bound lazily, as a program linked with GTK binds it: binding all of
    // its libraries' symbols at once would cost more than the window's start.
    // Global, as GTK is in a program linked with it: GtkBuilder finds a type
    // its templates name through the program's own symbols, and without them
    // registers every type GTK has (over a megabyte of pages), as it does when
    // the tooltip window is first made under the pointer.
    if (void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_GLOBAL)) return module;
    const char* reason = dlerror();
    module_failure = "cannot load the desktop module " + path + ": " + (reason ? reason : "unknown reason");
    return nullptr;
  }
  module_failure = std::string("the desktop module ") + DESKTOP_MODULE_NAME + " is missing (looked in " + looked_in + ")";
  return nullptr;
}

}  // namespace

bool desktop_display_open(DisplayLostHandler when_lost) {
  static void* const module = open_module();
  failure = module_failure;
  if (!module) return false;
  auto open = reinterpret_cast<DesktopModuleOpen>(dlsym(module, DESKTOP_MODULE_OPEN));
  if (!open) {
    failure = std::string("the desktop module has no entry ") + DESKTOP_MODULE_OPEN;
    return false;
  }
  const DisplayBackend* backend = open(when_lost);
  if (!backend) return false;
  backend_select(backend);
  return true;
}

const char* desktop_display_failure() { return failure.empty() ? nullptr : failure.c_str(); }
