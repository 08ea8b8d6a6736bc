// The table of --write-ifs in the seven-number format: to a file through the
// atomic writer, so that a failed or interrupted write leaves the file it
// would replace whole, or to standard output.
#pragma once

#include <cstdio>
#include <string>

#include "app/ifs_table.h"

// False with the system's reason in the last error.
bool table_output_to_file(const IfsTable& table, const std::u16string& name);
// False with errno saying why.
bool table_output_to_stream(const IfsTable& table, std::FILE* out);
