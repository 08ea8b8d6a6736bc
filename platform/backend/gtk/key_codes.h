// GDK key values as Win32 virtual-key codes, and back to X key symbols.
#pragma once

#include <gdk/gdk.h>

// The virtual key of a GDK key value (letters and digits as their upper-case
// characters); 0 for keys the program has no code for.
int key_code_from_keyval(guint keyval);
// The GDK key values a virtual key stands for (both sides of a modifier);
// returns how many were written (at most 2).
int key_code_keyvals(int virtual_key, guint keyvals[2]);
