// The loader's side of the block format (app/ifs_library.h): called with file
// 0 open, after the seven-number rules refused the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/loader.h"

// Loads the block the request picks, by position or by name (the first for
// an empty name), or shows why not.
void loader_load_block(const LoadRequest& request, const std::u16string& shown);
// True when the lines of file 0 read as the maps of one 2-D table of the
// block format. The read position moves.
bool loader_reads_as_block_body();
// The names of the file's blocks, or nothing after showing why the file
// cannot be read.
std::optional<std::vector<std::u16string>> loader_block_names(const std::u16string& shown);
// Says that no table has that name, listing the first 20 names there are
// and how many more.
void loader_show_missing_table(std::u16string_view table_name, const std::vector<std::u16string>& names,
                               const std::u16string& shown);
