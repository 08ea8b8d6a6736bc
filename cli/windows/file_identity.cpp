// File identity on Windows: the volume's serial number and the file index,
// as GetFileInformationByHandle reports them.
#include <io.h>
#include <windows.h>

#include "cli/file_identity.h"
#include "cli/system_names.h"

namespace {

FileIdentity identity_of(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(file, &information)) return {};
  return FileIdentity{true, information.dwVolumeSerialNumber,
                      static_cast<std::uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}

}  // namespace

FileIdentity file_identity_of_name(const std::string& name) {
  if (name.empty()) return {};
  const std::u16string wide = name_from_system(name);
  // No access asked for: only the file's identity is wanted, and a file the
  // user may not read still is the file being read.
  const HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(wide.c_str()), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  const FileIdentity identity = identity_of(file);
  CloseHandle(file);
  return identity;
}

FileIdentity file_identity_of_stream(std::FILE* stream) {
  if (!stream) return {};
  const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (file == INVALID_HANDLE_VALUE || GetFileType(file) != FILE_TYPE_DISK) return {};
  return identity_of(file);
}
