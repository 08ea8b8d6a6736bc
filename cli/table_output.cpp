#include "cli/table_output.h"

#include <cerrno>

#include "cli/ifs_table_text.h"
#include "runtime/graphics/safe_file_writer.h"

bool table_output_to_file(const IfsTable& table, const std::u16string& name) {
  SafeFileWriter writer;
  if (!safe_file_open(&writer, name.c_str())) return false;
  const bool written = ifs_table_text_write(
      table, [&](std::string_view piece) { return safe_file_write(&writer, piece.data(), piece.size()); });
  if (!written) {
    safe_file_abandon(&writer);
    return false;
  }
  return safe_file_commit(&writer);
}

bool table_output_to_stream(const IfsTable& table, std::FILE* out) {
  errno = 0;
  const bool written = ifs_table_text_write(
      table, [&](std::string_view piece) { return std::fwrite(piece.data(), 1, piece.size(), out) == piece.size(); });
  if (written && std::fflush(out) == 0) return true;
  if (errno == 0) errno = EIO;
  return false;
}
