#include "poster_run.h"

#include <cstdio>
#include <ostream>

#include "cli/offscreen_render.h"

void PrintTo(const Rgb& colour, std::ostream* out) {
  *out << "(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

PosterRun PosterTest::render(const std::string& ifs_text, const std::string& output,
                               const std::vector<std::string>& options) {
  const std::string table = folder.file("table.ifs");
  write_file(table, Bytes(ifs_text.begin(), ifs_text.end()));
  std::vector<std::string> arguments{"--output", folder.file(output), table};
  arguments.insert(arguments.end(), options.begin(), options.end());
  std::FILE* out = std::tmpfile();
  std::FILE* errors = std::tmpfile();
  PosterRun run;
  run.code = ifs_render_main(arguments, out, errors);
  std::rewind(errors);
  for (int c; (c = std::fgetc(errors)) != EOF;) run.errors.push_back(static_cast<char>(c));
  std::fclose(out);
  std::fclose(errors);
  return run;
}

Rgb pixel(const DecodedPng& png, std::uint32_t x, std::uint32_t y) {
  const Bytes& row = png.rows.at(y);
  if (png.bit_depth == 16) {
    auto sample = [&](std::size_t i) { return row.at(2 * i) << 8 | row.at(2 * i + 1); };
    return {sample(3 * x), sample(3 * x + 1), sample(3 * x + 2)};
  }
  return {row.at(3 * x), row.at(3 * x + 1), row.at(3 * x + 2)};
}
