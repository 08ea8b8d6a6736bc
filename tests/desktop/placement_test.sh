#!/usr/bin/env bash
# The window opens centred on the screen: without a window manager the window
# itself, under one (openbox) the window with the frame the manager puts around it.
source "$(dirname "$0")/desktop_session.sh"
need_tools openbox
SCREEN_WIDTH=1280
SCREEN_HEIGHT=1024

near() { [ $(($1 - $2)) -le 1 ] && [ $(($2 - $1)) -le 1 ]; }  # within a pixel (halves round down)

# Sets left, top, width and height of the window's outer frame (the window
# itself plus _NET_FRAME_EXTENTS, when a manager set them), and inner_height.
read_frame() {
  local info X Y WIDTH HEIGHT
  info=$(xwininfo -id "$window")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
  HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
  local extents
  extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  local l=0 r=0 t=0 b=0
  [ -n "$extents" ] && IFS=, read -r l r t b <<<"$extents"
  left=$((X - l)) top=$((Y - t)) width=$((WIDTH + l + r)) height=$((HEIGHT + t + b)) inner_height=$HEIGHT
}

start_program
read_frame
check "without a window manager the window is centred (at $left,$top, $width x $height)" \
  eval 'near $((left + width / 2)) $((SCREEN_WIDTH / 2)) && near $((top + height / 2)) $((SCREEN_HEIGHT / 2))'
xdotool key --delay 200 Escape
wait_program_end

openbox_pid=""
started_processes+=(openbox_pid)
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" && break; sleep 0.1; done
start_program
sleep 0.5  # the manager reparents and frames the window
read_frame
check "openbox frames the window" test "$height" -gt "$inner_height"
check "and the framed window is centred (at $left,$top, $width x $height)" \
  eval 'near $((left + width / 2)) $((SCREEN_WIDTH / 2)) && near $((top + height / 2)) $((SCREEN_HEIGHT / 2))'
kill "$openbox_pid"
finish
