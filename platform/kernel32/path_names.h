// File names cross the OS boundary as bytes, UTF-8 where they are valid;
// "/" separates folders.
#pragma once

#include <string>

#include "platform/win32/types.h"

// The name's bytes: UTF-8, with U+DC80..U+DCFF standing for the bytes that
// are not. False, with Win32's last error, for a null or empty name
// (ERROR_PATH_NOT_FOUND) or one holding another lone surrogate, which no
// name can stand for (ERROR_INVALID_NAME).
bool path_to_utf8(LPCWSTR name, std::string& path);

// SetLastError for a failed call on path, from errno. As on Win32, a
// missing entry is ERROR_FILE_NOT_FOUND when its folder exists and
// ERROR_PATH_NOT_FOUND when the folder is missing too.
void set_last_error_for_path(const std::string& path);
