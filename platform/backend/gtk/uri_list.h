// The local files of a "text/uri-list" (RFC 2483) as the program's file names.
#pragma once

#include <string>
#include <vector>

// One entry per "file:" URI naming a local file, in order; comments ("#"
// lines), other schemes and URIs that do not decode are left out.
std::vector<std::u16string> uri_list_files(const std::string& list);
