// Making a new name durable: after a rename the folder's entry must reach the
// disk too, or a crash can bring back the old file.
#pragma once

#include <string>

// fsync of the folder holding `path`; false with errno set on failure.
bool sync_folder_of(const std::string& path);
