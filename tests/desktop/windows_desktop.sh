#!/usr/bin/env bash
# ifs-render.exe as a desktop program under Wine, on a private Xvfb: a file
# named on the command line (outside Wine's code page) is drawn, Ctrl+S and
# Wine's Save dialog write the picture `--output` gives for the same ticks,
# and Escape or the close box end the program with status 0.
#
# Usage: windows_desktop.sh IFS_RENDER_EXE LINUX_IFS_RENDER, with WINEPREFIX
# naming a prefix of this run alone (its display settings are changed). The
# windows go in a Wine virtual desktop: with no window manager Wine loses the
# keyboard focus and stalls on every hidden window. A missing tool fails.
set -euo pipefail

for tool in Xvfb xdotool import convert wine wineserver winepath; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
exe=$(realpath "$1")
linux=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

TITLE="IFS render by Tarnwick"
SAVE="Please choose file to save"
CANVAS=600
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
failures=0

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}

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

wait_for_file() { for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done; return 1; }

# The tick count N for which the Linux build's `--output` of FILE equals PICTURE byte for byte.
ticks_of() {  # ticks_of PICTURE FILE MAX
  for n in $(seq "$3"); do
    "$linux" --output "$work/reference.png" "$2" --batches "$n" >/dev/null 2>&1 || return 1
    if cmp -s "$1" "$work/reference.png"; then echo "$n"; return 0; fi
  done
}

cd "$work"
cp "$source_dir/examples/fern.ifs" "fern-ж.ifs"

start_program wine "$exe" "fern-ж.ifs"
# Two ticks drawn at least: the canvas grew twice since the first look.
canvas_shot "$work/first.png"
lit=$(lit_pixels "$work/first.png")
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

focus_desktop
xdotool keydown Escape
wait_program_end
xdotool keyup Escape
check "Escape ends the program with status 0 (status $status)" test "$status" -eq 0

start_program wine "$exe" "fern-ж.ifs"
eval "$(xdotool getwindowgeometry --shell "$window")"
# The close box: the caption's last button, at its top right.
xdotool mousemove --window "$window" $((WIDTH - 12)) 10 click 1
wait_program_end
check "the close box ends the program with status 0 (status $status)" test "$status" -eq 0

if [ "$failures" -ne 0 ]; then
  echo "$failures desktop check(s) failed under Wine; the program said:" >&2
  cat "$work/program.out" >&2
  exit 1
fi
echo "desktop under Wine: all checks passed"
