#!/usr/bin/env bash
# The desktop program draws the file given on the command line from the first
# tick; the canvas on screen is the picture it saves; a saved PNG is the one
# `--output` writes for the same number of ticks; Quit ends it with status 0.
source "$(dirname "$0")/desktop_session.sh"
OPEN="Please choose file to load"
SAVE="Please choose file to save"
fern="$SOURCE_DIR/examples/fern.ifs"

start_program "$fern"
geometry=$(xdotool getwindowgeometry --shell "$window")
width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
check "the window is 600 wide and holds the 600 x 600 canvas under its menu bar" \
  test "$width" -eq 600 -a "$height" -gt 600 -a "$height" -lt 660

canvas_shot "$work/empty.png"
check "the file given on the command line is drawn from the first tick on" wait_for_growth "$work/empty.png"

# A tick may fall between a screenshot and the save: the saved picture must
# equal the canvas as shown just before or just after it.
wait_for_growth "$work/empty.png"
canvas_shot "$work/before.png"
xdotool key ctrl+s
save_path "$SAVE" "$work/files/shot"
canvas_shot "$work/after.png"
check "Ctrl+S writes NAME.png with the PNG filter" wait_for_file "$work/files/shot.png"
check "the canvas on screen equals the saved picture" \
  eval 'same_picture "$work/before.png" "$work/files/shot.png" || same_picture "$work/after.png" "$work/files/shot.png"'

ticks=$(ticks_of "$work/files/shot.png" "$fern" 12)
check "the saved PNG equals --output of the fern for the same number of ticks ($ticks)" test -n "$ticks"

# The BMP filter chosen in the dialog: NAME.bmp, the same picture as PNG.
xdotool key ctrl+s
dialog=$(wait_for_window "$SAVE")
choose_filter "$dialog" 2
save_path "$SAVE" "$work/files/second"
check "with the BMP filter NAME.bmp is written" wait_for_file "$work/files/second.bmp"
second=$(ticks_of "$work/files/second.bmp" "$fern" 12)
check "the saved BMP equals --output of the fern for the same number of ticks ($second)" test -n "$second"

# The dialog opens with the filter chosen last; a name ending in another
# type's extension gets the filter's added.
xdotool key ctrl+s
save_path "$SAVE" "$work/files/third.png"
check "the BMP filter stays chosen: NAME.png is saved as NAME.png.bmp" wait_for_file "$work/files/third.png.bmp"

# Quit from the File menu, by the mouse.
focus "$window"
xdotool mousemove --window "$window" 20 10
sleep 0.2
xdotool click 1
sleep 0.5
# The README's picture of the window, when asked for: the window with its menu open.
if [ -n "${DESKTOP_SCREENSHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$DESKTOP_SCREENSHOT"
fi
xdotool key Down
sleep 0.2
xdotool key Up  # wraps round to the last item
sleep 0.2
xdotool key Return
wait_program_end
check "Quit ends the program with status 0 (it ended with $status)" test "$status" -eq 0
finish
