// Windows hands the command line to GetCommandLineW itself: nothing to keep.
#include "platform/win32/process_arguments.h"

void kernel32_set_process_arguments(int, const char* const*) {}
