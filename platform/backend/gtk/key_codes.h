// GDK key values as Win32 virtual-key codes, and back to X key symbols.
#pragma once

#include <gdk/gdk.h>

// The virtual key of a GDK key value (letters and digits as their upper-case
// characters); 0 for keys the program has no code for.
int key_code_from_keyval(guint keyval);
// The virtual key of a key event, as Win32 gives it in every layout: a letter
// or digit the layout types in Latin is that key; on a key whose layout types
// something else (Cyrillic, Greek, Hebrew, AZERTY's digit row) it is the Latin
// letter or digit another group of `keymap` (may be null) has there, else the
// one the US layout has at that position. Other keys by their key value.
int key_code_from_event(GdkKeymap* keymap, guint keyval, guint16 hardware_keycode);
// The hardware key code of a letter or digit key in the US layout, 0 for others.
guint16 key_code_us_position(int virtual_key);
// The GDK key values a virtual key stands for (both sides of a modifier);
// returns how many were written (at most 2).
int key_code_keyvals(int virtual_key, guint keyvals[2]);
