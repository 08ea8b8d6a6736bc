// Building the Win32 command line from the process's arguments.
#pragma once

#include <string>
#include <vector>

// Arguments joined by single spaces; one that contains a space or is empty
// is enclosed in double quotes, so that a split at spaces that groups on
// double quotes gives it back whole.
std::u16string command_line_from_arguments(const std::vector<std::string>& arguments);
