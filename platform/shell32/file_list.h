// Reading the names of a file-list block (a DROPFILES header followed by the names)
// without trusting it: offsets and names are bounded by the block's size.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/types.h"

// The names in order, each as UTF-16 (8-bit names are decoded from the system code
// page). A name that is not terminated inside the block is not part of the list.
// Empty for a block too small for its header or whose names start outside it.
std::vector<std::u16string> file_list_names(const BYTE* block, SIZE_T size);
