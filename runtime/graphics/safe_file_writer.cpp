#include "runtime/graphics/safe_file_writer.h"

#include <chrono>

#include "platform/win32/final_path.h"
#include "platform/win32/kernel32.h"

namespace {

// WriteFile takes a 32-bit count; larger blocks go in pieces.
constexpr std::size_t WRITE_CHUNK = std::size_t{1} << 30;
// Attempts at finding a temporary name nobody else holds.
constexpr int TEMPORARY_NAME_ATTEMPTS = 100;

std::u16string folder_of(const std::u16string& path) {
  std::size_t slash = path.find_last_of(u"/\\");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

std::u16string decimal(DWORD value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

// A hidden name in the target's folder, so that the final rename stays on one
// file system and cannot be half done.
std::u16string temporary_name_for(const std::u16string& target, DWORD serial) {
  return folder_of(target) + u".ifs-save-" + decimal(serial) + u".tmp";
}

bool name_taken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

bool fail(SafeFileWriter* writer) {
  if (!writer->failed) writer->error = GetLastError();
  writer->failed = true;
  return false;
}

void close_temporary(SafeFileWriter* writer, bool* close_ok) {
  if (writer->file == INVALID_HANDLE_VALUE) return;
  BOOL closed = CloseHandle(writer->file);
  if (close_ok != nullptr) *close_ok = closed != FALSE;
  writer->file = INVALID_HANDLE_VALUE;
}

// Whether the target exists, and if so whether the user may write it; the
// check opens it for writing without changing it, as CreateFileW would.
bool target_writable(SafeFileWriter* writer) {
  writer->replaces = GetFileAttributesW(writer->target_name.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!writer->replaces) return true;
  HANDLE target = CreateFileW(writer->target_name.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (target == INVALID_HANDLE_VALUE) return false;
  CloseHandle(target);
  return true;
}

bool create_temporary(SafeFileWriter* writer) {
  // Names differ between runs, so that leftovers of a crashed save are not
  // tried one after another; exclusive creation settles any clash. The
  // temporary attribute has the file removed if the program is interrupted.
  static DWORD serial = static_cast<DWORD>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS; ++attempt) {
    writer->temporary_name = temporary_name_for(writer->target_name, serial++);
    HANDLE file = CreateFileW(writer->temporary_name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      writer->file = file;
      return true;
    }
    // A missing folder or a read-only one will not get better with other names.
    if (!name_taken(GetLastError())) return false;
  }
  return false;
}

// The replaced file's identity is kept; a new file takes the plain name. The
// folder is synced either way, so the new name survives a crash.
bool move_into_place(const SafeFileWriter* writer) {
  const LPCWSTR temporary = writer->temporary_name.c_str();
  const LPCWSTR target = writer->target_name.c_str();
  if (writer->replaces) return ReplaceFileW(target, temporary, nullptr, 0, nullptr, nullptr) != FALSE;
  return MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

bool safe_file_open(SafeFileWriter* writer, LPCWSTR target_name) {
  writer->file = INVALID_HANDLE_VALUE;
  writer->failed = false;
  writer->replaces = false;
  writer->error = ERROR_SUCCESS;
  if (target_name == nullptr || target_name[0] == 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return fail(writer);
  }
  if (!kernel32_final_write_name(target_name, &writer->target_name) || !target_writable(writer) ||
      !create_temporary(writer)) {
    return fail(writer);
  }
  return true;
}

bool safe_file_write(SafeFileWriter* writer, const void* data, std::size_t length) {
  if (writer->failed || writer->file == INVALID_HANDLE_VALUE) return false;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(length < WRITE_CHUNK ? length : WRITE_CHUNK);
    DWORD written = 0;
    // A full disk or a file-size limit shows as a failed or short write.
    if (!WriteFile(writer->file, bytes, piece, &written, nullptr)) return fail(writer);
    if (written != piece) {
      SetLastError(ERROR_DISK_FULL);
      return fail(writer);
    }
    bytes += piece;
    length -= piece;
  }
  return true;
}

bool safe_file_commit(SafeFileWriter* writer) {
  if (writer->file == INVALID_HANDLE_VALUE) {
    SetLastError(writer->failed ? writer->error : ERROR_INVALID_HANDLE);
    return false;
  }
  // Data on disk before the name points at it: a crash after the rename must
  // not leave an empty file where the old picture was.
  bool ok = !writer->failed && (FlushFileBuffers(writer->file) || fail(writer));
  bool closed = false;
  close_temporary(writer, &closed);
  ok = ok && (closed || fail(writer)) && (move_into_place(writer) || fail(writer));
  if (!ok) {
    DeleteFileW(writer->temporary_name.c_str());
    SetLastError(writer->error);
  }
  writer->failed = true;
  return ok;
}

void safe_file_abandon(SafeFileWriter* writer) {
  if (writer->file == INVALID_HANDLE_VALUE) return;
  const DWORD error = writer->failed ? writer->error : GetLastError();
  close_temporary(writer, nullptr);
  DeleteFileW(writer->temporary_name.c_str());
  writer->failed = true;
  SetLastError(error);
}
