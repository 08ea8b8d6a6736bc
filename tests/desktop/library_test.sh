#!/usr/bin/env bash
# A library in the window: --name opens it on a table; Page Down and Page Up,
# and the keypad's Page Up, walk its tables, wrapping round, each named in the
# title and drawn as `--output --name` draws it; "-" reads standard input;
# with a seven-number file the keys do nothing.
source "$(dirname "$0")/desktop_session.sh"
SAVE="Please choose file to save"
classics="$SOURCE_DIR/examples/classics.ifs"
fern="$SOURCE_DIR/examples/fern.ifs"
read -r -a tables <<<"$("$IFS_RENDER" --list "$classics" | tr '\n' ' ')"
first=${tables[0]}
last=${tables[${#tables[@]} - 1]}
before_last=${tables[${#tables[@]} - 2]}

# The tick count N for which `--output --name TABLE` of the library equals PICTURE.
ticks_of_table() {  # ticks_of_table PICTURE TABLE MAX
  for n in $(seq "$3"); do
    "$IFS_RENDER" --output "$work/reference.png" --name "$2" "$classics" --batches "$n" >/dev/null 2>&1 || return 1
    if same_picture "$1" "$work/reference.png"; then echo "$n"; return 0; fi
  done
}

# Ctrl+S as NAME.png once a tick or two has drawn on the canvas.
save_as() {  # save_as NAME
  canvas_shot "$work/now.png"
  wait_for_growth "$work/now.png" || true
  xdotool key ctrl+s
  save_path "$SAVE" "$work/files/$1"
  wait_for_file "$work/files/$1.png"
}

# start_program with standard input from FILE (a background job would read nothing otherwise).
start_program_reading() {  # start_program_reading FILE ARGUMENT...
  local input=$1
  shift
  "$IFS_RENDER" "$@" <"$input" >"$work/program.out" 2>&1 &
  program_pid=$!
  window=$(wait_for_window "$TITLE" "$program_pid")
  focus "$window"
}

window_title() { xdotool getwindowname "$window"; }

wait_for_title() {  # 5 s at most
  for _ in $(seq 50); do [ "$(window_title)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}

TITLE="IFS render by Tarnwick - $last"
start_program --name "$last" "$classics"
check "--name opens the window on that table, named in the title" test "$(window_title)" = "$TITLE"
save_as opened
ticks=$(ticks_of_table "$work/files/opened.png" "$last" 12)
check "the table opened is drawn as --output --name $last draws it ($ticks ticks)" test -n "$ticks"

focus "$window"
xdotool key Next
check "Page Down on the last table goes round to the first, named in the title" \
  wait_for_title "IFS render by Tarnwick - $first"
save_as paged
ticks=$(ticks_of_table "$work/files/paged.png" "$first" 12)
check "the table paged to is drawn afresh as --output --name $first draws it ($ticks ticks)" test -n "$ticks"

focus "$window"
xdotool key KP_Prior
check "the keypad's Page Up goes back to the last table" wait_for_title "IFS render by Tarnwick - $last"
xdotool key Prior
check "Page Up goes to the table before it" wait_for_title "IFS render by Tarnwick - $before_last"
save_as before_last
ticks=$(ticks_of_table "$work/files/before_last.png" "$before_last" 12)
check "and draws it as --output --name $before_last does ($ticks ticks)" test -n "$ticks"
xdotool key Escape
wait_program_end
check "Escape ends the program with status 0 (it ended with $status)" test "$status" -eq 0

# Standard input: a library opens on its first table; a seven-number file
# opens as the file itself, and the page keys leave it alone.
TITLE="IFS render by Tarnwick - $first"
start_program_reading "$classics" -
check "- reads the library from standard input" test "$(window_title)" = "$TITLE"
xdotool key Escape
wait_program_end

TITLE="IFS render by Tarnwick"
start_program_reading "$fern" -
save_as piped
xdotool key Next
xdotool key Prior
sleep 1
check "with a seven-number file Page Down and Page Up change nothing" \
  eval 'program_running && [ "$(window_title)" = "$TITLE" ]'
ticks=$(ticks_of "$work/files/piped.png" "$fern" 12)
check "a seven-number file from standard input is drawn as --output draws it ($ticks ticks)" test -n "$ticks"
xdotool key Escape
wait_program_end
finish
