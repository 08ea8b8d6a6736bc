// Standard input and output as the command line's files. The loader reads
// its file by name, twice, and the saver writes a whole file: so a stream
// given as the .ifs file (standard input, a FIFO, a device) is first copied
// into an unnamed temporary file, and a picture meant for standard output is
// saved in a private folder and then copied out.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The most a stream may bring: far beyond any table, yet an endless stream
// (/dev/zero, a runaway pipe) cannot fill the disk.
inline constexpr std::uint64_t STREAM_INPUT_LIMIT = 256ull << 20;

// What the loader opens for a stream given as the .ifs file.
class StreamInput {
 public:
  StreamInput() = default;
  ~StreamInput();
  StreamInput(const StreamInput&) = delete;
  StreamInput& operator=(const StreamInput&) = delete;

  // Makes what `in` holds readable by name: a regular file that nothing has
  // read yet is read in place, anything else is copied (into TMPDIR). False,
  // with errno saying why, when it cannot be read or kept, or when it holds
  // more than STREAM_INPUT_LIMIT bytes (too_long() then says so).
  bool take(std::FILE* in);
  // Makes the next take() copy even a regular file, and refuse one of more
  // than `limit` bytes: the loader then reads no more than that, whatever
  // happens to the file meanwhile.
  void copy_at_most(std::uint64_t limit) {
    limit_ = limit;
    always_copy_ = true;
  }
  bool too_long() const { return too_long_; }
  // A name under which it opens (a copy has none in any folder).
  std::string path() const { return path_; }

 private:
  std::FILE* copy_ = nullptr;
  std::string path_;
  bool too_long_ = false;
  std::uint64_t limit_ = STREAM_INPUT_LIMIT;
  bool always_copy_ = false;
  std::string name_;  // a copy's file, where the system gives it a name: removed with it
};

// True when a name given as the .ifs file is a FIFO, a device or a socket:
// its bytes can be read only once, as they come.
bool names_a_stream(const std::string& name);
// True when the name reaches the stream `in` itself (/dev/stdin, or the FIFO
// standard input comes from): opened again it would wait for another writer.
bool names_stream(const std::string& name, std::FILE* in);

class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // False, with errno saying why, when the folder could not be made.
  bool made() const { return !path_.empty(); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The system's folder for temporary files, with its trailing separator, named
// as the command line names files; empty when the system names none.
std::string temporary_folder();

// Writes the whole file to `out` and flushes it; false, with errno saying
// why, when either side fails.
bool copy_file_to(const std::string& path, std::FILE* out);
