# The mouse path of a drag, shared by the desktop tests: from the drag source at
# the screen's top-left corner, past GTK's threshold, over the target window in
# two steps with pauses, released after RELEASE_PAUSE seconds, since a release
# before the target answered the last position ends the drag with no drop.
drag_gesture_over() {  # drag_gesture_over WINDOW RELEASE_PAUSE
  xdotool mousemove 60 60 mousedown 1
  sleep 0.2
  xdotool mousemove 80 80
  sleep 0.3
  xdotool mousemove --window "$1" 200 300
  sleep 0.3
  xdotool mousemove --window "$1" 300 400
  sleep "$2"
  xdotool mouseup 1
}
