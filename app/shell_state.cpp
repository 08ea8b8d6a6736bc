#include "app/shell_state.h"

ShellState& shell_state() {
  static ShellState state;
  return state;
}

void shell_state_reset() { shell_state() = ShellState{}; }
