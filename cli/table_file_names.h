// File names for the pictures of a library's tables. A table's name comes
// from someone else's file: it may hold a path separator, a character that
// some file system refuses, a device name or far too many bytes, and two
// names may meet once made safe or where case does not count.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Bytes of a name's stem at most, in UTF-8: room stays for a number that
// keeps it distinct and for the extension, within any file system's 255.
inline constexpr std::size_t TABLE_FILE_STEM_BYTES = 200;

// One file name a table: letters, digits, "-", "_", "." and any printable
// character beyond ASCII kept, anything else "_"; no leading "."; no device
// name of Windows; "table" for nothing left. Names that meet, ignoring case,
// get "-2", "-3", ... Each ends in `extension` (".png").
std::vector<std::u16string> table_file_names(const std::vector<std::u16string>& names, std::u16string_view extension);
