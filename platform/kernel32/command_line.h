// Building the Win32 command line from the process's arguments.
#pragma once

#include <string>
#include <vector>

// Arguments joined by single spaces; one that contains a space or a double
// quote, or is empty, is enclosed in double quotes with each quote inside
// doubled, so that a split at spaces that groups on double quotes (and reads
// two quotes inside as one) gives it back whole. Bytes that are not UTF-8
// become U+DC80..U+DCFF.
std::u16string command_line_from_arguments(const std::vector<std::string>& arguments);
