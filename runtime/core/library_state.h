// One zero-filled state record per library, made at start-up and kept until
// the process ends.
#pragma once

#include <cstdint>

using LibraryStateCallback = void (*)(void* state);

// A zero-filled block of size bytes from the main heap, handed to init (if
// any) once. The cleanup callback is accepted for symmetry and never called:
// states go with the process. Null for size < 1 or an exhausted heap.
void* library_state_create(std::int32_t size, LibraryStateCallback init, LibraryStateCallback cleanup);
// The libraries always fetch their state through here.
void* library_state_get(void* state);
