// Numbered file objects for reading text files line by line: the size of a
// file by name, opening for reading, the end-of-file test, reading one line
// in a text format, moving the read position, closing; and the current
// directory, where the file requesters start.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/registry.h"

// Text formats of file_read_line, in the low 5 bits of the flags word; any
// other value reads like FILE_ANSI.
inline constexpr std::uint32_t FILE_UTF8 = 2;
inline constexpr std::uint32_t FILE_ANSI = 24;
inline constexpr std::uint32_t FILE_UTF16 = 25;
inline constexpr std::uint32_t FILE_FORMAT_MASK = 0x1F;
// CR and LF do not end the line.
inline constexpr std::uint32_t FILE_IGNORE_EOL = 0x10000;

// Start-up: creates the file registry (growth 16, file_close frees). False
// when the main heap cannot hold it.
bool file_library_init();
// Shut-down: closes every file still open.
void file_library_free();

// Bytes of each file's read buffer, read when a file is opened; 0 opens files
// unbuffered. 4096 unless changed.
void file_buffer_size_set(std::int32_t bytes);

// Size in bytes; -1 for a null or empty name or a file that cannot be found,
// -2 for a directory or a root.
std::int64_t file_size(const char16_t* name);

// Opens an existing file for reading: the platform handle (as a number), or
// the dynamic id for AUTO_ID; 0 on failure.
ObjectId file_open_read(ObjectId number, const char16_t* name);

// 0 while at least one more byte can be read. 0 also for a number without an
// open file, so this cannot tell an unopened file.
std::int32_t file_eof(ObjectId number);

// The next line without its line end; the empty text at the end of the file
// or for a number without an open file.
std::u16string file_read_line(ObjectId number, std::uint32_t flags);

// Up to `count` bytes from the read position into `destination`, through the
// buffer: the number read; 0 at the end of the file, on a read error or for
// a number without an open file.
std::int32_t file_read_data(ObjectId number, void* destination, std::int32_t count);

// Mode 1 moves relative to the read position, any other mode sets the
// position from the start. The low 32 bits of the new position.
std::uint32_t file_seek(ObjectId number, std::int64_t position, std::int32_t mode);

// Closes one file; AUTO_ID (-1) closes every open file.
void file_close(ObjectId number);

// The process's current directory, ending in the path separator "/"; empty
// when it cannot be read.
std::u16string current_directory();
