// Linux-side hook with no Win32 counterpart: on Windows the loader hands the
// command line over; here the program entry passes its arguments on, so that
// GetCommandLineW can build the command line from them.
#pragma once

// Arguments that contain a space or a double quote (or are empty) are quoted,
// quotes inside doubled, so that a splitter grouping on double quotes gets
// each argument back whole.
void kernel32_set_process_arguments(int argc, const char* const* argv);
