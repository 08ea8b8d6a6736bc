// --list and --name as a user runs them: any bytes are a .ifs file; the
// program lists its tables, and each name listed is given back with --name
// (the escapes of --list undone where the file holds no backslash, so that
// names in other code pages are tried too). A listed name must be found: its
// table is written, or its block is refused for what it holds, never as a
// name that is not there. The first name gives the table a run without
// --name gives, and a name that is not listed is not found.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_program.h"

namespace {

// Names tried with --name per input, beyond the first: each is a whole run.
constexpr std::size_t NAMES_TRIED = 3;
constexpr const char* MISSING = "No table named \"";

std::string library_path;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  fuzz_check(start == text.size());  // every name ends its line
  return lines;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void append_code_point(std::string& bytes, unsigned code) {
  if (code < 0x80) {
    bytes += static_cast<char>(code);
  } else if (code < 0x800) {
    bytes += static_cast<char>(0xC0 | code >> 6);
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    bytes += static_cast<char>(0xE0 | code >> 12);
    bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The name's bytes in the file, read back from what --list printed: \xHH is
// a byte (a control character or one that is not UTF-8), \uXXXX a control
// character beyond ASCII, \e escape. False for an escape a name cannot hold.
bool unescaped(const std::string& shown, std::string& bytes) {
  bytes.clear();
  for (std::size_t at = 0; at < shown.size(); ++at) {
    if (shown[at] != '\\') {
      bytes += shown[at];
      continue;
    }
    const std::size_t digits = at + 1 < shown.size() ? (shown[at + 1] == 'x' ? 2 : shown[at + 1] == 'u' ? 4 : 0) : 0;
    if (at + 1 < shown.size() && shown[at + 1] == 'e') {
      bytes += '\x1b';
      ++at;
      continue;
    }
    if (digits == 0 || at + 2 + digits > shown.size()) return false;
    unsigned code = 0;
    for (std::size_t d = 0; d < digits; ++d) {
      const int value = hex_value(shown[at + 2 + d]);
      if (value < 0) return false;
      code = code * 16 + static_cast<unsigned>(value);
    }
    if (digits == 2) bytes += static_cast<char>(code);
    else append_code_point(bytes, code);
    at += 1 + digits;
  }
  return true;
}

ProgramRun write_table(const std::string& name) {
  std::vector<std::string> arguments{"--write-ifs", "-"};
  if (!name.empty()) arguments.insert(arguments.end(), {"--name", name});
  arguments.push_back(library_path);
  return fuzz_run_program(arguments);
}

// A listed name is there: loaded, or refused for what its block holds; a
// 3-D table loads but the seven-number format cannot hold it.
void check_found(const std::string& name) {
  const ProgramRun run = write_table(name);
  const bool space_table = run.status == 1 && run.errors.find(" is a 3-D table: ") != std::string::npos;
  fuzz_check(run.status == 0 || run.status == 2 || space_table);
  fuzz_check(run.errors.find(MISSING) == std::string::npos);
  fuzz_check((run.status == 0) == run.errors.empty());
  fuzz_check(run.status == 0 || run.out.empty());
}

// The names as the file holds them, where --list makes that plain: always
// when the file holds no backslash (every one printed is then an escape),
// else only for names printed without one.
std::vector<std::optional<std::string>> names_in_file(const std::vector<std::string>& shown_names,
                                                      bool file_has_backslash) {
  std::vector<std::optional<std::string>> names;
  for (const std::string& shown : shown_names) {
    std::string bytes;
    if (!file_has_backslash) fuzz_check(unescaped(shown, bytes));
    if (!file_has_backslash || shown.find('\\') == std::string::npos) names.emplace_back(file_has_backslash ? shown : bytes);
    else names.emplace_back();
  }
  return names;
}

void check_library(const std::vector<std::string>& shown_names, bool file_has_backslash) {
  const std::vector<std::optional<std::string>> names = names_in_file(shown_names, file_has_backslash);
  // The first table, as a run without --name picks it.
  if (names.front()) {
    const ProgramRun first = write_table("");
    const ProgramRun named = write_table(*names.front());
    fuzz_check(named.status == first.status && named.out == first.out);
  }
  std::size_t tried = 0;
  for (std::size_t i = 1; i < names.size() && tried < NAMES_TRIED; ++i)
    if (names[i]) check_found(*names[i]), ++tried;
  // A name that is not in the file (plain ASCII, unlike the names not known).
  std::set<std::string> listed;
  for (const std::optional<std::string>& name : names)
    if (name) listed.insert(*name);
  std::string absent = "absent";
  while (listed.count(absent)) absent += "~";
  const ProgramRun missing = write_table(absent);
  fuzz_check(missing.status == 2 && missing.out.empty());
  fuzz_check(missing.errors.find(MISSING) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  library_path = fuzz_scratch_path("table_names.ifs");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz_write_file(library_path, data, size)) return 0;
  const ProgramRun list = fuzz_run_program({"--list", library_path});
  fuzz_check(list.status == 0 || list.status == 2);
  if (list.status == 2) {
    fuzz_check(list.out.empty() && !list.errors.empty());
    return 0;
  }
  fuzz_check(list.errors.empty());
  const std::vector<std::string> names = lines_of(list.out);
  if (names.empty()) {
    // A seven-number file has no named tables: any name is missing.
    const ProgramRun run = write_table("fern");
    fuzz_check(run.status == 2 && run.errors.find("the file holds no named tables") != std::string::npos);
    return 0;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  check_library(names, text.find('\\') != std::string::npos);
  return 0;
}
