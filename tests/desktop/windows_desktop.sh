#!/usr/bin/env bash
# ifs-render.exe as a desktop program under Wine, on a private Xvfb: a file
# named on the command line (outside Wine's code page) is drawn, Ctrl+S and
# Wine's Save dialog write the picture `--output` gives for the same ticks,
# a second Ctrl+S onto the same bare name replaces it with the newer picture
# (the dialogs reopen in the folder of the last choice, Open's as well),
# a file dragged from an X11 program (XDND, which Wine turns into an OLE drop)
# replaces it, a file the loader rejects shows the message box with the
# loader's caption and text, and Escape or the close box end the program with
# status 0. The drag source is the Linux desktop tests' GTK helper; the box's
# text is read inside Wine by message_box_text.cpp, both built here.
#
# Usage: windows_desktop.sh IFS_RENDER_EXE LINUX_IFS_RENDER, with WINEPREFIX
# naming a prefix of this run alone (its display settings are changed). The
# windows go in a Wine virtual desktop: with no window manager Wine loses the
# keyboard focus and stalls on every hidden window. A missing tool fails.
set -euo pipefail

for tool in Xvfb xdotool import convert wine wineserver winepath g++ pkg-config x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
exe=$(realpath "$1")
linux=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/tests/desktop/drag_gesture.sh"

TITLE="IFS render by Tarnwick"
SAVE="Please choose file to save"
OPEN="Please choose file to load"
LOAD_CAPTION="IFS load"
CANVAS=600
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
failures=0
helpers_pid=""

cleanup() {
  [ -n "$helpers_pid" ] && kill "$helpers_pid" 2>/dev/null || true
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${DESKTOP_KEEP:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}

# Built while Wine switches the prefix to the X11 driver, which takes seconds.
build_helpers() {
  local desktop=$source_dir/tests/desktop compiler=()
  command -v ccache >/dev/null && compiler=(ccache)
  # shellcheck disable=SC2046 # pkg-config's flags are separate words
  "${compiler[@]}" g++ -O1 -o "$work/desktop_test_helper" "$desktop/desktop_test_helper.cpp" \
    $(pkg-config --cflags --libs gtk+-3.0 x11) &&
    "${compiler[@]}" x86_64-w64-mingw32-g++-posix -O1 -municode -static -o "$work/message_box_text.exe" \
      "$desktop/message_box_text.cpp"
}
build_helpers >"$work/helpers.log" 2>&1 &
helpers_pid=$!

Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

# The X11 driver, and every window in a virtual desktop that holds the window.
wineserver -w
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d ifs-render /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v ifs-render /d 800x700 /f >/dev/null 2>&1

if ! wait "$helpers_pid"; then
  echo "FAIL: the test helpers did not build" >&2
  cat "$work/helpers.log" >&2
  exit 1
fi
helpers_pid=""

# The id of the window with this exact title, once it is mapped (20 s at most).
wait_for_window() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.1
  done
  echo "FAIL: no window \"$1\"" >&2
  return 1
}

# Keys go to the virtual desktop's X window; Wine hands them to its active window.
focus_desktop() {
  xdotool windowfocus --sync "$(xdotool search --name ' - Wine desktop$' | head -1)"
}

start_program() {
  "$@" >>"$work/program.out" 2>&1 &
  program_pid=$!
  window=$(wait_for_window "$TITLE")
  focus_desktop
}

# Sets `status` to the program's exit status once it ended (10 s at most), 124 if it did not.
wait_program_end() {
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$program_pid" 2>/dev/null; then status=124; return; fi
  status=0
  wait "$program_pid" || status=$?
  program_pid=""
}

# The canvas as the screen shows it: the bottom 600 x 600 inside the window's frame.
canvas_shot() {
  local X Y WIDTH HEIGHT SCREEN border
  eval "$(xdotool getwindowgeometry --shell "$window")"
  border=$(((WIDTH - CANVAS) / 2))
  import -window root -crop "${CANVAS}x${CANVAS}+$((X + border))+$((Y + HEIGHT - border - CANVAS))" +repage "$1"
}

lit_pixels() { convert "$1" -fill white +opaque black -format "%[fx:round(mean*w*h)]" info:; }

# Waits until the canvas shows more lit pixels than COUNT (10 s at most); prints the new count.
wait_for_growth() {
  local now
  for _ in $(seq 40); do
    canvas_shot "$work/growth.png"
    now=$(lit_pixels "$work/growth.png")
    [ "$now" -gt "$1" ] && { echo "$now"; return 0; }
    sleep 0.25
  done
  return 1
}

window_gone() {  # window_gone TITLE: true once no window has it (5 s at most)
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Drags FILE from the GTK drag source at the screen's top-left corner over the
# canvas, as the Linux desktop tests do; prints the action the drop ended with.
drag_to_canvas() {
  (export HOME="$work/home" GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
    exec "$work/desktop_test_helper" drag-source --files "$1") >"$work/drag.out" 2>>"$work/program.out" &
  local source_pid=$!
  wait_for_window "drag source" >/dev/null
  # Wine answers a position more slowly than GTK.
  drag_gesture_over "$window" 1
  wait "$source_pid" || true
  cat "$work/drag.out"
}

# The lit pixels of the canvas once the program painted it (10 s at most): until
# its first paint the window shows white, which no drawing could outgrow.
painted_lit_pixels() {  # painted_lit_pixels PICTURE
  local now
  for _ in $(seq 40); do
    canvas_shot "$1"
    now=$(lit_pixels "$1")
    [ "$now" -lt $((CANVAS * CANVAS)) ] && break
    sleep 0.25
  done
  echo "$now"
}

grows_from() { wait_for_growth "$(lit_pixels "$1")" >/dev/null; }  # grows_from PICTURE

wait_for_file() { for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done; return 1; }
# Waits until FILE is whole and differs from COPY (10 s at most).
wait_for_change() {
  for _ in $(seq 100); do [ -s "$1" ] && ! cmp -s "$1" "$2" && return 0; sleep 0.1; done
  return 1
}
# No temporary file of a save is left in the folder.
no_save_leftovers() { ! ls -A | grep -q '^\.ifs-save-'; }

# The tick count N for which the Linux build's `--output` of FILE equals PICTURE byte for byte.
ticks_of() {  # ticks_of PICTURE FILE MAX
  for n in $(seq "$3"); do
    "$linux" --output "$work/reference.png" "$2" --batches "$n" >/dev/null 2>&1 || return 1
    if cmp -s "$1" "$work/reference.png"; then echo "$n"; return 0; fi
  done
}

cd "$work"
cp "$source_dir/examples/fern.ifs" "fern-ж.ifs"
cp "$source_dir/examples/sierpinski.ifs" .
mkdir home

start_program wine "$exe" "fern-ж.ifs"
# Two ticks drawn at least: the canvas grew twice since the first look.
lit=$(painted_lit_pixels "$work/first.png")
grown=0
for _ in 1 2; do
  if now=$(wait_for_growth "$lit"); then lit=$now; grown=$((grown + 1)); fi
done
check "the file named on the command line is drawn, tick after tick" test "$grown" -eq 2

xdotool key ctrl+s
dialog=$(wait_for_window "$SAVE") || true
check "Ctrl+S opens the Save dialog" test -n "$dialog"
xdotool type --delay 10 "$(winepath -w "$work/saved")"
xdotool key Return
check "a name typed into the dialog is saved as NAME.png" wait_for_file "$work/saved.png"
ticks=$(ticks_of "$work/saved.png" "fern-ж.ifs" 20)
check "the saved PNG is byte for byte --output after the same ticks (${ticks:-none}, at least 2)" \
  test "${ticks:-0}" -ge 2

# The second save, a tick later, onto the same name typed without its folder:
# the dialog opens in the folder of the last choice, and the newer picture
# replaces the older one, leaving nothing else behind.
cp saved.png first-save.png
canvas_shot "$work/before_second_save.png"
grows_from "$work/before_second_save.png" || true
focus_desktop
xdotool key ctrl+s
wait_for_window "$SAVE" >/dev/null || true
xdotool type --delay 10 "saved"
xdotool key Return
check "a second Ctrl+S onto the same name, typed without a folder, replaces the picture" wait_for_change saved.png first-save.png
second_ticks=$(ticks_of "$work/saved.png" "fern-ж.ifs" 30)
check "the replacing picture is --output after more ticks (${second_ticks:-none} after ${ticks:-none})" \
  test "${second_ticks:-0}" -gt "${ticks:-0}"
check "the saves left no temporary file ($(ls -A | grep '^\.ifs-save-' | tr '\n' ' '))" no_save_leftovers

# The Open dialog remembers its own folder: a table chosen by its full name,
# then a name typed alone is looked for there. The rejected table's message
# box names the file as the dialog returned it.
mkdir tables
cp sierpinski.ifs tables/
printf '1 2\n' >tables/rejected.ifs
focus_desktop
xdotool key ctrl+o
wait_for_window "$OPEN" >/dev/null || true
xdotool type --delay 10 "$(winepath -w "$work/tables/sierpinski.ifs")"
xdotool key Return
window_gone "$OPEN" || true
focus_desktop
xdotool key ctrl+o
wait_for_window "$OPEN" >/dev/null || true
xdotool type --delay 10 "rejected.ifs"
xdotool key Return
box=$(wait_for_window "$LOAD_CAPTION") || true
text=$(wine "$work/message_box_text.exe" "$LOAD_CAPTION") || true
expected="wrong parameter 1 2"$'\r\n'"$(winepath -w "$work/tables/rejected.ifs")"
check "the second Open dialog opens in the folder of the first choice ($(printf %q "$text"))" \
  test "$text" = "$expected"
focus_desktop
xdotool key Return
window_gone "$LOAD_CAPTION" || true

focus_desktop
xdotool keydown Escape
wait_program_end
xdotool keyup Escape
check "Escape ends the program with status 0 (status $status)" test "$status" -eq 0

# A file dragged onto the empty canvas is loaded and drawn: the picture saved a
# tick or more later is `--output` of that file. (Dropped after no other file:
# the generator is seeded once per run, so an earlier file's ticks would move
# the points.)
start_program wine "$exe"
action=$(drag_to_canvas "$work/sierpinski.ifs")
# A drag that ended without a drop left the program as it was, so one more
# try tells a drop that cannot happen from X timing on a loaded machine.
if [ "$action" != copy ]; then
  echo "note: the drag ended with \"$action\"; dragging once more" >&2
  action=$(drag_to_canvas "$work/sierpinski.ifs")
fi
check "a file dragged onto the canvas from an X11 program is taken as a copy (action: $action)" test "$action" = copy
canvas_shot "$work/after_drop.png"
check "the dropped file is drawn" grows_from "$work/after_drop.png"
focus_desktop
xdotool key ctrl+s
dialog=$(wait_for_window "$SAVE") || true
xdotool type --delay 10 "$(winepath -w "$work/dropped")"
xdotool key Return
wait_for_file "$work/dropped.png" || true
ticks=$(ticks_of "$work/dropped.png" "$work/sierpinski.ifs" 20)
check "the picture saved after the drop is the dropped file's --output (ticks: ${ticks:-none})" \
  test "${ticks:-0}" -ge 1

focus_desktop
eval "$(xdotool getwindowgeometry --shell "$window")"
# The close box: the caption's last button, at its top right.
xdotool mousemove --window "$window" $((WIDTH - 12)) 10 click 1
wait_program_end
check "the close box ends the program with status 0 (status $status)" test "$status" -eq 0

# A rejected file named on the command line: the loader's message box over an
# empty window, which goes on when the box is dismissed.
printf '1 2\n' >"bad-ж.ifs"
start_program wine "$exe" "bad-ж.ifs"
box=$(wait_for_window "$LOAD_CAPTION") || true
check "a rejected file shows the message box captioned \"$LOAD_CAPTION\"" test -n "$box"
text=$(wine "$work/message_box_text.exe" "$LOAD_CAPTION") || true
expected=$'wrong parameter 1 2\r\nbad-ж.ifs'
check "the box says the rejected line and the file's name ($(printf %q "$text"))" test "$text" = "$expected"
focus_desktop
xdotool key Return
check "Return closes the message box" window_gone "$LOAD_CAPTION"
check "and the program goes on" kill -0 "$program_pid"
focus_desktop
xdotool keydown Escape
wait_program_end
xdotool keyup Escape
check "Escape then ends it with status 0 (status $status)" test "$status" -eq 0

if [ "$failures" -ne 0 ]; then
  echo "$failures desktop check(s) failed under Wine; the program said:" >&2
  cat "$work/program.out" >&2
  exit 1
fi
echo "desktop under Wine: all checks passed"
