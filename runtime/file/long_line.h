// A very long line of 8-bit text is not held twice: holding its bytes and its
// UTF-16 text at once would take three times its size. It is read again from
// its start and decoded piece by piece straight into the result, which takes
// twice its size.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32/types.h"
#include "runtime/file/file_object.h"

// Lines longer than this many bytes take the long road.
inline constexpr std::size_t LONG_LINE_BYTES = std::size_t{1} << 20;

// Called when `stored` bytes of the current line have been read, none of them
// ending it. Reads the whole line into `line` and consumes its line end as
// file_read_line does. False, with the file unmoved, when it cannot be read
// twice (a pipe): the caller then goes on the ordinary way.
bool long_line_read(FileObject* file, std::size_t stored, bool ignore_line_ends, UINT code_page,
                    std::u16string& line);
