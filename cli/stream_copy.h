// Copies one stream into another, for standard input and output standing in
// for files on every system.
#pragma once

#include <cstdint>
#include <cstdio>

enum StreamCopy { STREAM_COPIED, STREAM_FAILED, STREAM_TOO_LONG };

// Everything left in `from` into `to`, flushed. STREAM_FAILED with errno set
// when a read or a write failed; STREAM_TOO_LONG as soon as `from` holds more
// than `limit` bytes (what was copied so far stays in `to`).
StreamCopy copy_stream(std::FILE* from, std::FILE* to, std::uint64_t limit = UINT64_MAX);
