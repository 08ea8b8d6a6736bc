// A seven-number .ifs file read into a table for the benchmarks, without the
// program's loader (which needs the runtime started).
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/ifs_table.h"

inline bool load_example_table(const std::string& path, IfsTable& table) {
  std::ifstream file(path);
  std::vector<std::vector<float>> maps;
  for (std::string line; std::getline(file, line);) {
    std::istringstream fields(line);
    std::vector<float> values(IFS_PARAMETER_COUNT);
    for (float& value : values) fields >> value;
    maps.push_back(values);
  }
  if (maps.empty() || !ifs_table_resize(table, static_cast<std::int32_t>(maps.size()))) return false;
  for (std::int32_t m = 0; m < table.map_count; ++m)
    for (int k = 0; k < IFS_PARAMETER_COUNT; ++k) ifs_set(table, k, m, maps[m][k]);
  return true;
}

// The fern of examples/, or false after saying it cannot be read.
inline bool load_fern(IfsTable& table) {
  if (load_example_table(IFS_SOURCE_DIR "/examples/fern.ifs", table)) return true;
  std::fputs("cannot read the fern\n", stderr);
  return false;
}
