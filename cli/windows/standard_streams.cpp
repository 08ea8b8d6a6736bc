// Standard input and output as the command line's files, on Windows: there is
// no /proc/self/fd and no mkdtemp, so standard input is always copied, into a
// named temporary file and the private folder is made under %TEMP% by name. The
// C runtime opens the standard streams in text mode; pictures and tables pass
// through them as bytes. Names go through the wide calls, since %TEMP% may
// hold characters the system code page lacks.
#include <fcntl.h>
#include <io.h>
#include <process.h>

#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "cli/standard_streams.h"
#include "cli/stream_copy.h"
#include "cli/system_names.h"

namespace {

constexpr int NAME_ATTEMPTS = 100;

// char16_t and wchar_t share size and representation on Windows.
const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::string temporary_root() {
  for (const wchar_t* name : {L"TEMP", L"TMP"})
    if (const wchar_t* root = _wgetenv(name); root && *root)
      return name_to_system(reinterpret_cast<const char16_t*>(root));
  return ".";
}

// A name under %TEMP% that nothing holds yet, made by `make` (false: taken or failed).
template <typename Make>
std::string unused_name(const char* prefix, Make make) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
    const std::string name = temporary_root() + "\\" + prefix + std::to_string(_getpid()) + "-" +
                             std::to_string(++counter);
    if (make(name)) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

void remove_file(const std::string& name) { _wremove(wide(name_from_system(name))); }

}  // namespace

StreamInput::~StreamInput() {
  if (copy_) std::fclose(copy_);
  if (!name_.empty()) remove_file(name_);
}

// The copy is closed once written: the loader opens it by name, and an open
// handle that may write would refuse it a sharing violation.
bool StreamInput::take(std::FILE* in) {
  _setmode(_fileno(in), _O_BINARY);
  name_ = unused_name("ifs-render-input-", [&](const std::string& name) {
    copy_ = name_open(name, "wbx");
    return copy_ != nullptr;
  });
  if (!copy_) return false;
  const StreamCopy copied = copy_stream(in, copy_, limit_);
  too_long_ = copied == STREAM_TOO_LONG;
  const int reason = errno;
  const bool closed = std::fclose(copy_) == 0;
  copy_ = nullptr;
  errno = reason;
  if (copied != STREAM_COPIED || !closed) {
    remove_file(name_);
    name_.clear();
    return false;
  }
  path_ = name_;
  return true;
}

// Pipes and devices are not given by name on Windows' command lines.
bool names_a_stream(const std::string&) { return false; }
bool names_stream(const std::string&, std::FILE*) { return false; }

PrivateFolder::PrivateFolder() {
  path_ = unused_name("ifs-render-", [](const std::string& name) { return _wmkdir(wide(name_from_system(name))) == 0; });
}

// Removes the picture it may hold, then the folder.
PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  for (const char* name : {"picture.png", "picture.bmp"}) remove_file(file(name));
  _wrmdir(wide(name_from_system(path_)));
}

bool copy_file_to(const std::string& path, std::FILE* out) {
  std::FILE* file = name_open(path, "rb");
  if (!file) return false;
  std::fflush(out);
  _setmode(_fileno(out), _O_BINARY);
  const bool copied = copy_stream(file, out) == STREAM_COPIED;
  const int saved_errno = errno;
  std::fclose(file);
  errno = saved_errno;
  return copied;
}
