// The plain logic around the file requesters: the platform's filter list
// made from a pattern string, and a default path split into the dialog's
// initial directory and file name.
#pragma once

#include <string>
#include <string_view>

// Units of the dialog's file-name buffer, terminator included.
inline constexpr std::size_t REQUESTER_NAME_CAPACITY = 260;

// "Desc|*.a|Desc|*.b" -> "Desc\0*.a\0Desc\0*.b\0\0" (the string holds the
// inner zeros; .c_str() adds the last one).
std::u16string requester_filter(std::u16string_view pattern);

// True for a non-empty name without control units and without " * / : < > ? \ |.
bool file_name_is_valid(std::u16string_view name);

struct RequesterDefaultPath {
  std::u16string directory;  // empty: the dialog's own default directory
  std::u16string name;       // at most 259 units; empty when not a valid file name
};

// Splits at the last folder separator of the system's names ("/" on Linux,
// "\" or "/" on Windows); a root keeps its separator.
RequesterDefaultPath requester_split_default(std::u16string_view default_file);
