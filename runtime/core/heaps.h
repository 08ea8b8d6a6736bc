// The runtime's private heaps. The program entry creates the main heap first
// and destroys it last; the string and memory heaps belong to their libraries.
#pragma once

#include "platform/win32/types.h"

// Every runtime record (registries, object records, states, pools, buffers).
HANDLE main_heap();
// Creates the main heap if it does not exist yet; false when HeapCreate fails.
bool main_heap_create();
void main_heap_destroy();
