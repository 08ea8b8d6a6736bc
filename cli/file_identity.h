// Which file a name or a stream reaches, by identity rather than by name: a
// link, a "..", another spelling of the same path all reach the same file.
// Used to refuse writing an output over the file being read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct FileIdentity {
  bool known = false;  // false: no such file, or not one that can be told apart
  std::uint64_t device = 0;
  std::uint64_t file = 0;
};

// The file that opening `name` reaches (links followed).
FileIdentity file_identity_of_name(const std::string& name);
// The regular file a stream reads or writes; unknown for pipes and terminals.
FileIdentity file_identity_of_stream(std::FILE* stream);

inline bool same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.file == b.file;
}
