// The map table in the loader's seven-number format: one map per line,
// a b c d e f p separated by single spaces, each value written so that the
// loader reads back exactly the same 32-bit float.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/ifs_table.h"

// The text in pieces of whole lines, none much over 64 KiB, so that a table
// of millions of maps never needs its whole text in memory. Stops and returns
// false as soon as `write` does.
bool ifs_table_text_write(const IfsTable& table, const std::function<bool(std::string_view)>& write);
