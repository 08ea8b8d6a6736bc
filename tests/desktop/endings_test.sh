#!/usr/bin/env bash
# Escape held on the main window and the window manager's close request end the
# desktop program with status 0; without a display it says so and exits 69; when
# the X server goes away under it, it says so and exits 74.
source "$(dirname "$0")/desktop_session.sh"
need_tools strace
fern="$SOURCE_DIR/examples/fern.ifs"

# Escape pressed while the window's first file is still loading went down in no
# requester: held, it ends the program once the load is done. strace holds back
# each read of the file; it ends with the program's status. The leak checker of
# a sanitizer build cannot run under strace.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
  strace -f -o /dev/null -P "$fern" -e trace=read -e inject=read:delay_enter=600000 \
  "$IFS_RENDER" "$fern" >"$work/program.out" 2>&1 &
program_pid=$!
focus "$(wait_for_window "$TITLE")"
xdotool keydown Escape
wait_program_end
xdotool keyup Escape
check "Escape held from the window's first moments ends the program with status 0 (status $status)" \
  test "$status" -eq 0
[ "$status" -eq 0 ] || { echo "it said:" >&2; cat "$work/program.out" >&2; }

start_program "$fern"
xdotool keydown Escape
wait_program_end
xdotool keyup Escape
check "Escape held ends the program with status 0 (status $status)" test "$status" -eq 0

# "--" ends the options here too: the file after it is the one drawn.
start_program -- "$fern"
canvas_shot "$work/empty.png"
check "the file after -- is drawn" wait_for_growth "$work/empty.png"
"$DESKTOP_HELPER" close "$window"
wait_program_end
check "the close request ends the program with status 0 (status $status)" test "$status" -eq 0

status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$IFS_RENDER" "$fern" 2>"$work/no_display.txt" || status=$?
check "without a display the program exits with status 69 (status $status)" test "$status" -eq 69
check "and says there is no desktop display" grep -q "no desktop display" "$work/no_display.txt"

# Last, as it ends this test's X server.
start_program "$fern"
kill "$xvfb_pid"
xvfb_pid=""
wait_program_end
check "the X server going away ends the program with status 74 (status $status)" test "$status" -eq 74
check "and it says why" grep -q "^ifs-render: the display went away: lost the connection to the X server :" "$work/program.out"
finish
