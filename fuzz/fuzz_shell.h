// The desktop program started once for a whole fuzzing session over the
// headless display, for targets that load input after input into it.
#pragma once

// Starts the runtime and the shell with nothing loaded; aborts when it cannot.
void fuzz_shell_start();
// What the event loop would take in between two inputs (repaints and the
// like, which would otherwise pile up), and the record of message boxes
// emptied, so that the run frees what it allocated. The clock stands still,
// so no timer falls due.
void fuzz_shell_idle();
