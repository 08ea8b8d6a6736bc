// The desktop's display, for the program entry: the one choice of where
// the windows go that is made above the platform.
#pragma once

// Called once when the display the windows are on goes away (the X server
// ended, the compositor quit), with the system's reason; it must end the
// process. Null: the process ends as the display's library ends it.
using DisplayLostHandler = void (*)(const char* reason);

// Opens the desktop's display and makes it the one windows go on; false when
// there is none to open (no desktop session).
bool desktop_display_open(DisplayLostHandler when_lost);

// Why the last desktop_display_open failed when the reason was not simply
// the lack of a display (the program's desktop part could not be loaded);
// null otherwise.
const char* desktop_display_failure();
