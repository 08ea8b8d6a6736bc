#include "app/app_state.h"

namespace {

AppState make_initial_state() {
  AppState state;
  ifs_table_load_builtin(state.table);
  return state;
}

}  // namespace

AppState& app_state() {
  static AppState state = make_initial_state();
  return state;
}

void app_state_reset() { app_state() = make_initial_state(); }
