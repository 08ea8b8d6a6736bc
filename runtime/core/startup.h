// The runtime's start-up and shut-down sequences, and the program entry's
// steps around them.
#pragma once

#include "platform/win32/types.h"

// Every library's initialisation, in a fixed order. Steps do not report
// failures, except that the runtime cannot run without its string and memory
// heaps: false then (nothing of the sequence is left behind).
bool runtime_startup();
// The libraries' tear-downs, in a fixed order. Leaves the process as it was
// before runtime_startup, so that the sequence can run again (tests do).
void runtime_shutdown();

// Exit code of a program whose heaps could not be created.
inline constexpr int EXIT_CODE_NO_HEAP = 3;

// The entry's beginning: records the instance handle, creates the main heap
// and runs runtime_startup. On failure writes a message on stderr, undoes
// what was done and returns false; the entry then exits with EXIT_CODE_NO_HEAP.
bool program_begin();
// The entry's end: runtime_shutdown, then the string work buffer and heap,
// then the main heap. Returns the exit code, always 0.
int program_end();
// GetModuleHandleW of the program, recorded by program_begin.
HINSTANCE program_instance();
