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
