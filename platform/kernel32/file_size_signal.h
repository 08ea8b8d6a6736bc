// A write past RLIMIT_FSIZE raises SIGXFSZ, whose default action kills the
// process. Win32 programs expect WriteFile to fail instead.
#pragma once

// Sets SIGXFSZ to be ignored (so write() returns EFBIG), unless the program
// installed a handler of its own. Safe to call many times.
void ignore_file_size_signal();
