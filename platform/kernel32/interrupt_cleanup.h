// Temporary files (created with FILE_ATTRIBUTE_TEMPORARY) are removed when
// the process is interrupted by SIGINT, SIGTERM or SIGHUP, until they are
// moved to their final name or deleted. Windows removes such leftovers by
// other means; a Linux process ended by a signal would otherwise leave them.
#pragma once

#include <string>

// Starts watching `path`; false when no slot is free (the file then simply
// is not removed on interruption).
bool interrupt_cleanup_watch(const std::string& path);
// Stops watching `path`, if it is watched.
void interrupt_cleanup_forget(const std::string& path);
