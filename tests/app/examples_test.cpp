// The bundled examples must load (six single spaces per line, LF ends; or
// well-formed 2-D blocks in a library file) and every step must move the
// point (weights reach 1 in single precision).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/chaos_game.h"
#include "app/ifs_library.h"
#include "runtime/core/random.h"
#include "support/ifs_tables.h"

namespace {

std::vector<std::filesystem::path> example_files() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(IFS_SOURCE_DIR "/examples"))
    if (entry.path().extension() == ".ifs") files.push_back(entry.path());
  return files;
}

std::string contents_of(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream text;
  text << stream.rdbuf();
  return text.str();
}

bool is_library(const std::string& text) { return text.find('{') != std::string::npos; }

IfsLibrary read_library(const std::string& text) {
  std::vector<std::u16string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.emplace_back(line.begin(), line.end());
  return ifs_library_parse(lines);
}

// Each table of the file in the seven-number format.
std::vector<std::string> tables_of(const std::string& text) {
  if (!is_library(text)) return {text};
  std::vector<std::string> tables;
  for (const IfsBlock& block : read_library(text).blocks) {
    std::string table;
    for (const std::u16string& map : block.maps) table += std::string(map.begin(), map.end()) + "\n";
    tables.push_back(table);
  }
  return tables;
}

std::vector<std::vector<float>> parse_maps(const std::string& text) {
  std::vector<std::vector<float>> maps;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<float> map;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, ' ');) map.push_back(std::strtof(field.c_str(), nullptr));
    maps.push_back(map);
  }
  return maps;
}

TEST(Examples, EveryExampleIsAWellFormedTable) {
  const std::vector<std::filesystem::path> files = example_files();
  EXPECT_GE(files.size(), 6u);
  for (const auto& path : files) {
    const std::string text = contents_of(path);
    ASSERT_FALSE(text.empty()) << path;
    if (is_library(text)) continue;
    EXPECT_EQ(text.back(), '\n') << path;
    EXPECT_EQ(text.find('\r'), std::string::npos) << path;
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << path;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_EQ(std::count(line.begin(), line.end(), ' '), 6) << path << ": " << line;
      EXPECT_EQ(line.find("  "), std::string::npos) << path << ": " << line;
    }
  }
}

TEST(Examples, TheLibraryHoldsSeveralWellFormedTwoDimensionalBlocks) {
  int libraries = 0;
  for (const auto& path : example_files()) {
    const std::string text = contents_of(path);
    if (!is_library(text)) continue;
    ++libraries;
    const IfsLibrary library = read_library(text);
    EXPECT_EQ(library.fault.line, 0) << path;
    EXPECT_GE(library.blocks.size(), 4u) << path;
    for (const IfsBlock& block : library.blocks) {
      EXPECT_EQ(block.fault.line, 0) << path << ": " << std::string(block.name.begin(), block.name.end());
      EXPECT_FALSE(block.three_d);
    }
  }
  EXPECT_EQ(libraries, 1);
}

TEST(Examples, WeightsReachOneAndTheAttractorHasExtent) {
  std::vector<std::pair<std::filesystem::path, std::string>> tables;
  for (const auto& path : example_files())
    for (const std::string& table : tables_of(contents_of(path))) tables.emplace_back(path, table);
  EXPECT_GE(tables.size(), 12u);
  for (const auto& [path, table] : tables) {
    const std::vector<std::vector<float>> maps = parse_maps(table);
    float sum = 0.0f;
    for (const auto& map : maps) sum += map.at(IFS_P);
    EXPECT_GE(sum, 1.0f) << path;

    use_maps(maps);
    if (::testing::Test::HasFatalFailure()) return;
    random_seed(1234);
    measure_bounds();
    const RenderState& render = app_state().render;
    EXPECT_TRUE(std::isfinite(render.scale_x) && render.scale_x > 1.0f) << path;
    EXPECT_TRUE(std::isfinite(render.scale_y) && render.scale_y < -1.0f) << path;
  }
}

}  // namespace
