#!/usr/bin/env bash
# A file dragged onto the window of a program started without one is drawn from
# the first tick with nothing else done; files dragged onto the canvas load the
# first of them; a drag of plain text is refused and the picture goes on as it was.
source "$(dirname "$0")/desktop_session.sh"
source "$(dirname "$0")/drag_gesture.sh"
cp "$SOURCE_DIR/examples/fern.ifs" "$SOURCE_DIR/examples/sierpinski.ifs" "$SOURCE_DIR/examples/carpet.ifs" "$work/files/"

drag_to_canvas() {  # drag_to_canvas --files PATH... | --text TEXT; prints the action
  "$DESKTOP_HELPER" drag-source "$@" >"$work/drag.out" &
  local source_pid=$!
  wait_for_window "drag source" >/dev/null
  drag_gesture_over "$window" 0.5
  wait "$source_pid" || true
  cat "$work/drag.out"
}

start_program
canvas_shot "$work/empty.png"
check "the program started without a file shows a black canvas" test "$(colour_count "$work/empty.png")" -eq 1
action=$(drag_to_canvas --files "$work/files/fern.ifs")
check "a file dragged onto the idle window is taken as a copy (action: $action)" test "$action" = copy
# From the release on nothing touches the program: no key, no pointer move.
check "and drawn from the first tick on with no other input" wait_for_growth "$work/empty.png"

action=$(drag_to_canvas --text "$work/files/carpet.ifs")
check "a drag of plain text is refused (action: $action)" test "$action" = none
canvas_shot "$work/after_text.png"
check "the fern goes on growing after the refused drag" wait_for_growth "$work/after_text.png"
canvas_shot "$work/still_fern.png"
check "and the canvas still shows the fern (4 maps)" test "$(colour_count "$work/still_fern.png")" -eq 5

action=$(drag_to_canvas --files "$work/files/sierpinski.ifs" "$work/files/carpet.ifs")
check "a drag of two files is taken as a copy (action: $action)" test "$action" = copy
sleep 1.7
canvas_shot "$work/dropped.png"
check "the first dropped file is loaded: the triangle (3 maps)" test "$(colour_count "$work/dropped.png")" -eq 4
finish
