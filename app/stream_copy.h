// Copies one stream into another, for standard input and output standing in
// for files on every system.
#pragma once

#include <cstdio>

// Everything left in `from` into `to`, flushed; false with errno set when a
// read or a write failed.
bool copy_stream(std::FILE* from, std::FILE* to);
