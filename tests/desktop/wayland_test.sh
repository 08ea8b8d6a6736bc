#!/usr/bin/env bash
# On a Wayland compositor with no seat at all (weston's headless backend: no
# keyboard, no pointer) the desktop program opens its window and draws without
# GTK complaining about the missing keyboard; when the compositor quits under
# it, it says so and ends with status 74. A missing tool fails the test.
source "$(dirname "$0")/test_checks.sh"
need_tools weston
weston_pid=""
program_pid=""
started_processes=(program_pid weston_pid)

mkdir -p "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=ifs-test GDK_BACKEND=wayland HOME="$work/home"
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GTK_THEME=Adwaita LC_ALL=C.UTF-8
unset DISPLAY
weston --backend=headless-backend.so --socket=ifs-test --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$work/runtime/ifs-test" ] && break; sleep 0.1; done
[ -S "$work/runtime/ifs-test" ] || { echo "FAIL: weston did not start" >&2; cat "$work/weston.log" >&2; exit 1; }

# The protocol log shows the window's title and its frames reaching the compositor.
WAYLAND_DEBUG=client "$IFS_RENDER" "$SOURCE_DIR/examples/fern.ifs" >"$work/program.out" 2>&1 &
program_pid=$!
for _ in $(seq 50); do grep -q 'set_title("IFS render by Tarnwick")' "$work/program.out" && break; sleep 0.1; done
sleep 2
check "the window opens on the compositor" grep -q 'set_title("IFS render by Tarnwick")' "$work/program.out"
check "and its surface is drawn" grep -q 'wl_surface@[0-9]*\.commit' "$work/program.out"
# The compositor finds the window's desktop entry, and so its icon, by the app id.
entry_class=$(sed -n 's/^StartupWMClass=//p' "$SOURCE_DIR"/packaging/*.desktop)
check "its app id is the window class the desktop entry names ($entry_class)" \
  grep -qF "set_app_id(\"$entry_class\")" "$work/program.out"
check "the program keeps running" kill -0 "$program_pid"
check "without GTK's complaints about a keyboard (or any other)" eval '! grep -E "CRITICAL|WARNING" "$work/program.out"'

kill "$weston_pid"
weston_pid=""
status=0
wait "$program_pid" || status=$?
program_pid=""
check "the compositor quitting ends the program with status 74 (status $status)" test "$status" -eq 74
check "and it says why" grep -q "^ifs-render: the display went away: " "$work/program.out"
if [ "$failures" -ne 0 ]; then
  grep -v '^\[' "$work/program.out" >&2 || true
  exit 1
fi
echo "all checks passed"
