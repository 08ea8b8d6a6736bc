// The map table in the loader's seven-number format: one map per line,
// a b c d e f p separated by single spaces, each value written so that the
// loader reads back exactly the same 32-bit float.
#pragma once

#include <string>

#include "app/ifs_table.h"

std::string ifs_table_text(const IfsTable& table);
