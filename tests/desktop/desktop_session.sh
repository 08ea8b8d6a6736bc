# Sourced by the desktop end-to-end tests: a private X server for this test
# alone, the program started on it, and helpers that drive it with synthetic
# input and read the screen. Needs IFS_RENDER and DESKTOP_HELPER (paths of the
# program and of desktop_test_helper). A missing tool fails the test: CI must
# install it (scripts/setup), not skip it.
source "$(dirname "${BASH_SOURCE[0]}")/test_checks.sh"
need_tools Xvfb xdotool import compare identify
program_pid=""
xvfb_pid=""
started_processes=(program_pid xvfb_pid)

# -displayfd picks a free display number; -noreset keeps the server up when
# the last client goes.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

mkdir -p "$work/home" "$work/data" "$work/config" "$work/cache" "$work/files"
export DISPLAY=":$(cat "$work/display")" GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
export GTK_THEME=Adwaita GDK_SCALE=1 GDK_DPI_SCALE=1 HOME="$work/home" LC_ALL=C.UTF-8
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
unset WAYLAND_DISPLAY

TITLE="IFS render by Tarnwick"
CANVAS=600

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; the program said:" >&2
    cat "$work/program.out" >&2
    exit 1
  fi
  echo "all checks passed"
}

# The id of the window with this exact title, once it is mapped (10 s at most);
# with a PID, only that process's window (an earlier program may still show one).
wait_for_window() {  # wait_for_window TITLE [PID]
  local id="" owner=()
  [ -n "${2:-}" ] && owner=(--all --pid "$2")
  for _ in $(seq 100); do
    id=$(xdotool search "${owner[@]}" --onlyvisible --name "^$1\$" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "FAIL: no window \"$1\"" >&2
  import -window root "$work/no_window.png" 2>/dev/null || true
  return 1
}

window_gone() {  # window_gone TITLE: true once no such window is mapped (5 s at most)
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

start_program() {
  "$IFS_RENDER" "$@" >"$work/program.out" 2>&1 &
  program_pid=$!
  window=$(wait_for_window "$TITLE" "$program_pid")
  focus "$window"
}

focus() { xdotool windowfocus --sync "$1"; }

program_running() { kill -0 "$program_pid" 2>/dev/null; }

# Waits for the program's end (10 s at most) and sets `status` to its exit
# status, 124 if it is still running. Not in a subshell: only this shell can
# wait for its child.
wait_program_end() {
  for _ in $(seq 100); do
    program_running || break
    sleep 0.1
  done
  if program_running; then
    status=124
    report_stuck_program
    return
  fi
  status=0
  wait "$program_pid" || status=$?
  program_pid=""
}

# A program that should have ended: what the screen shows and where its
# threads are (when gdb is there) go to the log, and it is ended, so that the
# checks after it start from a fresh program.
report_stuck_program() {
  local id
  echo "the program is still running; the windows on the screen:" >&2
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
    echo "  $id \"$(xdotool getwindowname "$id" 2>/dev/null || true)\"" >&2
  done
  if command -v gdb >/dev/null; then
    echo "its threads:" >&2
    timeout 30 gdb -p "$program_pid" -batch -ex "thread apply all bt" 2>&1 | grep -E '^(#|Thread)' >&2 || true
  fi
  echo "it said:" >&2
  cat "$work/program.out" >&2
  end_process "$program_pid"
  program_pid=""
}

# The canvas as the screen shows it: the bottom 600 x 600 of the window.
canvas_shot() {
  local height
  height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
  import -window "$window" -crop "${CANVAS}x${CANVAS}+0+$((height - CANVAS))" +repage "$1"
}

same_picture() {  # the pixels are equal, as ImageMagick reads both files
  [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}

colour_count() { identify -format %k "$1"; }
lit_pixels() {  # pixels that are not black
  convert "$1" -fill white +opaque black -format "%[fx:round(mean*w*h)]" info:
}

# The tick count N for which `ifs-render --output` of FILE equals PICTURE; empty if none up to MAX.
ticks_of() {  # ticks_of PICTURE FILE MAX
  for n in $(seq "$3"); do
    "$IFS_RENDER" --output "$work/reference.png" "$2" --batches "$n" >/dev/null 2>&1 || return 1
    if same_picture "$1" "$work/reference.png"; then echo "$n"; return 0; fi
  done
}

# A file dialog is open: type an absolute path into it and confirm.
open_path() {  # open_path DIALOG_TITLE PATH
  local dialog
  dialog=$(wait_for_window "$1")
  focus "$dialog"
  xdotool key --delay 50 ctrl+l
  sleep 0.3
  xdotool type --delay 10 "$2"
  sleep 0.2
  xdotool key Return
  window_gone "$1"
}

save_path() {  # save_path DIALOG_TITLE PATH
  local dialog
  dialog=$(wait_for_window "$1")
  focus "$dialog"
  xdotool key --delay 50 ctrl+a
  xdotool type --delay 10 "$2"
  sleep 0.2
  xdotool key Return
  window_gone "$1"
}

# Chooses the Nth filter in an open file dialog's filter list (at its bottom
# right in the Adwaita theme): the list opens with the current filter under
# the pointer.
choose_filter() {  # choose_filter DIALOG N
  local geometry width height
  geometry=$(xdotool getwindowgeometry --shell "$1")
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  xdotool mousemove --window "$1" $((width - 140)) $((height - 70))
  sleep 0.2  # GTK takes a click only on a widget the pointer has entered
  xdotool click 1
  sleep 0.5
  xdotool key Home
  for _ in $(seq $(($2 - 1))); do xdotool key Down; done
  xdotool key Return
  sleep 0.3
}

wait_for_file() {  # 5 s at most
  for _ in $(seq 50); do [ -s "$1" ] && return 0; sleep 0.1; done
  return 1
}

# Waits until the canvas shows at least one more tick than PICTURE (5 s at most).
wait_for_growth() {  # wait_for_growth PICTURE
  local before
  before=$(lit_pixels "$1")
  for _ in $(seq 25); do
    canvas_shot "$work/growth.png"
    [ "$(lit_pixels "$work/growth.png")" -gt "$before" ] && return 0
    sleep 0.2
  done
  return 1
}
