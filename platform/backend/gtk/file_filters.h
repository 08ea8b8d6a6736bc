// A Win32 file-dialog filter list as GTK file filters take it.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/types.h"

struct FileFilterEntry {
  std::u16string description;
  // Glob patterns in UTF-8 that match without regard to case, as Win32's do
  // ("*.png" becomes "*.[pP][nN][gG]").
  std::vector<std::string> patterns;
};

// `filter` holds description/pattern pairs, each zero-terminated, ending in an
// empty text; a pattern may list several, separated by ";". Null gives none.
std::vector<FileFilterEntry> file_filters_parse(LPCWSTR filter);
// One pattern made case-blind; "[" and "]" of the pattern match themselves.
std::string file_filter_case_blind(const std::string& pattern);
