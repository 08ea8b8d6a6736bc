// What the targets that run the program share: scratch files kept in memory,
// the program run as a user runs it with what it prints caught, and the one
// way a target reports a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A finding: the fuzzer keeps the input and stops.
void fuzz_check(bool condition);

// A folder for scratch files: memory (/dev/shm) where there is one, since a
// save syncs its file and folder and a disk would make every run wait.
std::string fuzz_scratch_folder();
// A scratch file's path of this process, removed when the process ends.
std::string fuzz_scratch_path(const std::string& name);

bool fuzz_write_file(const std::string& path, const std::uint8_t* data, std::size_t size);
bool fuzz_write_file(const std::string& path, const std::string& bytes);
std::string fuzz_read_file(const std::string& path);

// One run of the program's entry, standard output and standard error caught.
struct ProgramRun {
  int status = -1;
  std::string out;
  std::string errors;
};

// `in` stands for standard input (/dev/null when null).
ProgramRun fuzz_run_program(const std::vector<std::string>& arguments, std::FILE* in = nullptr);

// Every occurrence of `from` in `text` replaced with `to`.
std::string fuzz_replace_all(std::string text, const std::string& from, const std::string& to);
