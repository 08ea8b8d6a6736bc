// The desktop backend lives in a module of its own, opened only when the
// desktop program runs, so the command line maps none of GTK's libraries.
// The program and the module agree on these names.
#pragma once

#include "platform/backend/backend.h"
#include "platform/desktop_display.h"

// The module's one exported function: opens the display (null when there is
// none) after noting who ends the process when the display goes away.
using DesktopModuleOpen = const DisplayBackend* (*)(DisplayLostHandler when_lost);
inline constexpr const char DESKTOP_MODULE_OPEN[] = "ifs_render_desktop_open";

// Where the module sits, relative to the program's folder: the installed
// layout (bin/ beside libexec/) first, then the build tree's (the module in a
// folder under the program's).
inline constexpr const char DESKTOP_MODULE_NAME[] = "ifs-render-gtk.so";
inline constexpr const char* DESKTOP_MODULE_FOLDERS[] = {"../libexec/ifs-render", "libexec/ifs-render"};
