#include "runtime/graphics/safe_file_writer.h"

#include <chrono>
#include <new>

#include "platform/win32/advapi32.h"
#include "platform/win32/final_path.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/text.h"

namespace {

// WriteFile takes a 32-bit count; larger blocks go in pieces.
constexpr std::size_t WRITE_CHUNK = std::size_t{1} << 30;
// Attempts at finding a temporary name nobody else holds.
constexpr int TEMPORARY_NAME_ATTEMPTS = 100;
// Pieces in which a temporary file is copied where there are no hard links.
constexpr DWORD COPY_CHUNK = 1 << 14;

std::u16string folder_of(const std::u16string& path) {
  const std::size_t separator = path_last_separator(path);
  return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator + 1);
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
// file system and cannot be half done. Names differ between runs, so that
// other programs' temporaries are not tried one after another; exclusive
// creation settles any clash.
std::u16string fresh_temporary_name(const std::u16string& target) {
  static DWORD serial = static_cast<DWORD>(std::chrono::steady_clock::now().time_since_epoch().count());
  return folder_of(target) + u".ifs-save-" + decimal(serial++) + u".tmp";
}

bool name_taken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

bool fail(SafeFileWriter* writer) {
  if (!writer->failed) writer->error = GetLastError();
  writer->failed = true;
  return false;
}

bool fail_with(SafeFileWriter* writer, DWORD error) {
  SetLastError(error);
  return fail(writer);
}

void close_temporary(SafeFileWriter* writer) {
  if (writer->file == INVALID_HANDLE_VALUE) return;
  CloseHandle(writer->file);
  writer->file = INVALID_HANDLE_VALUE;
}

// Whether the target exists, and if so whether the user may write it; the
// check opens it for writing without changing it, as CreateFileW would. A
// device or a pipe cannot be replaced by a file: refused before any work.
bool target_writable(SafeFileWriter* writer) {
  writer->replaces = GetFileAttributesW(writer->target_name.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!writer->replaces) return true;
  HANDLE target = CreateFileW(writer->target_name.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (target == INVALID_HANDLE_VALUE) return false;
  const bool on_disk = GetFileType(target) == FILE_TYPE_DISK;
  CloseHandle(target);
  if (!on_disk) SetLastError(ERROR_NOT_SUPPORTED);
  return on_disk;
}

// The replaced file's permissions, so that the new file never grants more,
// not even while it is written. Without them the file gets a new file's.
void take_target_security(SafeFileWriter* writer) {
  if (!writer->replaces) return;
  DWORD needed = 0;
  const LPCWSTR target = writer->target_name.c_str();
  GetFileSecurityW(target, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return;
  try {
    writer->security.resize(needed);
  } catch (const std::bad_alloc&) {
    return;
  }
  if (!GetFileSecurityW(target, DACL_SECURITY_INFORMATION, writer->security.data(), needed, &needed))
    writer->security.clear();
}

// The temporary files of one save, all beside the target, with its
// permissions; `flags` say whether the system removes the file at close.
HANDLE create_beside_target(SafeFileWriter* writer, DWORD access, DWORD flags, std::u16string* name) {
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), writer->security.data(), FALSE};
  LPSECURITY_ATTRIBUTES attributes = writer->security.empty() ? nullptr : &security;
  for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS; ++attempt) {
    *name = fresh_temporary_name(writer->target_name);
    HANDLE file = CreateFileW(name->c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE, attributes, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | flags, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    // A missing folder or a read-only one will not get better with other names.
    if (!name_taken(GetLastError())) break;
  }
  return INVALID_HANDLE_VALUE;
}

// The name the written file keeps after its handle closes: a hard link.
// `name` stays empty unless the link was made.
bool link_to_fresh_name(SafeFileWriter* writer, std::u16string* name) {
  for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS; ++attempt) {
    std::u16string candidate = fresh_temporary_name(writer->target_name);
    if (CreateHardLinkW(candidate.c_str(), writer->temporary_name.c_str(), nullptr)) {
      *name = std::move(candidate);
      return true;
    }
    if (!name_taken(GetLastError())) break;
  }
  return false;
}

bool copy_all(HANDLE from, HANDLE to) {
  if (SetFilePointer(from, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  BYTE buffer[COPY_CHUNK];
  for (;;) {
    DWORD got = 0;
    DWORD written = 0;
    if (!ReadFile(from, buffer, COPY_CHUNK, &got, nullptr)) return false;
    if (got == 0) return FlushFileBuffers(to) != FALSE;
    if (!WriteFile(to, buffer, got, &written, nullptr)) return false;
    if (written != got) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
  }
}

// Where a file system has no hard links, the bytes go to a plain temporary
// file, which an interrupted program may leave behind. `name` stays empty
// unless the copy was made.
bool copy_to_fresh_name(SafeFileWriter* writer, std::u16string* name) {
  std::u16string copy_name;
  HANDLE copy = create_beside_target(writer, GENERIC_WRITE, 0, &copy_name);
  if (copy == INVALID_HANDLE_VALUE) return false;
  bool ok = copy_all(writer->file, copy);
  DWORD error = GetLastError();
  if (!CloseHandle(copy) && ok) {
    ok = false;
    error = GetLastError();
  }
  if (ok) {
    *name = std::move(copy_name);
    return true;
  }
  DeleteFileW(copy_name.c_str());
  SetLastError(error);
  return false;
}

// Refusals after which a plain move still does the job, as ReplaceFileW's
// documentation describes them, and file systems that cannot replace.
bool replace_refused(DWORD error) {
  switch (error) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED: return true;
    default: return false;
  }
}

// The replaced file's identity is kept where the system can; a new file
// takes the plain name. The new name is on disk before this returns.
bool move_into_place(const SafeFileWriter* writer, const std::u16string& name) {
  const LPCWSTR target = writer->target_name.c_str();
  if (writer->replaces && ReplaceFileW(target, name.c_str(), nullptr, 0, nullptr, nullptr)) return true;
  if (writer->replaces && !replace_refused(GetLastError())) return false;
  return MoveFileExW(name.c_str(), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

bool safe_file_open(SafeFileWriter* writer, LPCWSTR target_name) {
  writer->file = INVALID_HANDLE_VALUE;
  writer->failed = false;
  writer->replaces = false;
  writer->error = ERROR_SUCCESS;
  writer->security.clear();
  if (target_name == nullptr || target_name[0] == 0) return fail_with(writer, ERROR_PATH_NOT_FOUND);
  if (!kernel32_final_write_name(target_name, &writer->target_name) || !target_writable(writer)) return fail(writer);
  take_target_security(writer);
  writer->file = create_beside_target(writer, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_FLAG_DELETE_ON_CLOSE,
                                      &writer->temporary_name);
  return writer->file != INVALID_HANDLE_VALUE || fail(writer);
}

bool safe_file_write(SafeFileWriter* writer, const void* data, std::size_t length) {
  if (writer->failed || writer->file == INVALID_HANDLE_VALUE) return false;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(length < WRITE_CHUNK ? length : WRITE_CHUNK);
    DWORD written = 0;
    // A full disk or a file-size limit shows as a failed or short write.
    if (!WriteFile(writer->file, bytes, piece, &written, nullptr)) return fail(writer);
    if (written != piece) return fail_with(writer, ERROR_DISK_FULL);
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
  // Data on disk before a name points at it: a crash after the rename must
  // not leave an empty file where the old picture was.
  std::u16string kept_name;
  bool ok = !writer->failed && (FlushFileBuffers(writer->file) || fail(writer)) &&
            (link_to_fresh_name(writer, &kept_name) || copy_to_fresh_name(writer, &kept_name) || fail(writer));
  close_temporary(writer);
  ok = ok && (move_into_place(writer, kept_name) || fail(writer));
  if (!ok && !kept_name.empty()) DeleteFileW(kept_name.c_str());
  if (!ok) SetLastError(writer->error);
  writer->failed = true;
  return ok;
}

void safe_file_abandon(SafeFileWriter* writer) {
  if (writer->file == INVALID_HANDLE_VALUE) return;
  const DWORD error = writer->failed ? writer->error : GetLastError();
  close_temporary(writer);
  writer->failed = true;
  SetLastError(error);
}
