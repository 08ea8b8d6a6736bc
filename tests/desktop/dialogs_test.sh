#!/usr/bin/env bash
# Ctrl+O loads a file typed into the desktop's file dialog and the dialog
# opens next time in that file's folder; a bad file shows the loader's message
# box and the previous picture goes on drawing; Escape that closes a dialog or
# the message box leaves the program running.
source "$(dirname "$0")/desktop_session.sh"
OPEN="Please choose file to load"
cp "$SOURCE_DIR/examples/sierpinski.ifs" "$SOURCE_DIR/examples/carpet.ifs" "$work/files/"
printf '1 2\n' >"$work/files/bad.ifs"

# Each map has its own colour: black and one colour per map are on the canvas.
start_program "$SOURCE_DIR/examples/fern.ifs"
xdotool key ctrl+o
open_path "$OPEN" "$work/files/sierpinski.ifs"
canvas_shot "$work/empty.png"
wait_for_growth "$work/empty.png"
canvas_shot "$work/triangle.png"
check "Ctrl+O with a typed path loads the triangle (3 maps)" test "$(colour_count "$work/triangle.png")" -eq 4

# A name without folder only finds the file in the folder the dialog opens in.
focus "$window"
xdotool key ctrl+o
open_path "$OPEN" "carpet.ifs"
sleep 1.7
canvas_shot "$work/carpet.png"
check "the dialog opens next time in the last file's folder (8 maps)" test "$(colour_count "$work/carpet.png")" -eq 9

focus "$window"
xdotool key ctrl+o
open_path "$OPEN" "$work/files/bad.ifs"
box=$(wait_for_window "IFS load")
check "a bad line shows the message box captioned \"IFS load\"" test -n "$box"
canvas_shot "$work/behind_box.png"
focus "$box"
xdotool key Escape
check "Escape closes the message box" window_gone "IFS load"
check "and the previous picture goes on drawing" wait_for_growth "$work/behind_box.png"
canvas_shot "$work/after_box.png"
check "it is still the carpet" test "$(colour_count "$work/after_box.png")" -eq 9
check "Escape that closed the message box left the program running" program_running

focus "$window"
xdotool key ctrl+o
dialog=$(wait_for_window "$OPEN")
focus "$dialog"
xdotool key Escape
check "Escape closes the file dialog" window_gone "$OPEN"
canvas_shot "$work/after_dialog.png"
check "the program goes on drawing after Escape closed the dialog" wait_for_growth "$work/after_dialog.png"

focus "$window"
xdotool key --delay 200 Escape
wait_program_end
check "Escape on the main window ends the program with status 0 (status $status)" test "$status" -eq 0
finish
