#!/usr/bin/env bash
# The desktop window's code is a module the program opens only to show the
# window: the command line maps no GTK library even with a display at hand, the
# desktop program does, in the build tree's layout and in the installed one,
# and a program whose module is missing or broken says so and exits 69.
source "$(dirname "$0")/desktop_session.sh"
need_tools readelf nm
fern="$SOURCE_DIR/examples/fern.ifs"
module="$BUILD_DIR/libexec/ifs-render/ifs-render-gtk.so"

needs() {  # needs FILE PATTERN: a NEEDED entry of FILE matches PATTERN
  readelf -d "$1" | grep '(NEEDED)' | grep -qE "$2"
}
needs_none() { ! needs "$@"; }
check "the program needs no GTK, GDK or X library" needs_none "$IFS_RENDER" 'lib(gtk|gdk|X11)'
check "the program needs libpng (the check reads its libraries)" needs "$IFS_RENDER" libpng
check "the module needs GTK" needs "$module" 'libgtk-3\.so'

# What the window runs before its first frame (cmake/start_order) lies in one
# stretch little longer than itself, so that the start pages in little code;
# three in four of the listed functions are still there to be laid out (an
# unoptimised build has none of the optimiser's clones of functions).
laid_together() {  # laid_together BINARY LIST
  local listed found=0 low=-1 high=0 total=0 address size
  listed=$(grep -cv '^#' "$2")
  while read -r address size; do
    address=$((16#$address)) size=$((16#$size))
    found=$((found + 1)) total=$((total + size))
    ((low < 0 || address < low)) && low=$address
    ((address + size > high)) && high=$((address + size))
  done < <(nm -S --defined-only "$1" | awk 'NR == FNR { if (!/^#/ && NF) wanted[$1] = 1; next }
                                           NF == 4 && ($4 in wanted) && !seen[$1]++ { print $1, $2 }' "$2" -)
  echo "  $(basename "$1"): $found of $listed listed functions, $total bytes, in a stretch of $((high - low))"
  ((found * 4 >= listed * 3 && (high - low) * 2 <= total * 3))
}
check "the program's start-up code lies together" laid_together "$IFS_RENDER" "$SOURCE_DIR/cmake/start_order/ifs-render.txt"
check "the module's start-up code lies together" laid_together "$module" "$SOURCE_DIR/cmake/start_order/ifs-render-gtk.txt"

# The dynamic loader's own account of every library it maps; libpng's being
# there shows that the account was given.
maps_no_gtk() {
  LD_DEBUG=files "$@" >/dev/null 2>"$work/loaded.txt" || return 1
  grep -q 'file=libpng16\.so' "$work/loaded.txt" && ! grep -q 'file=libgtk-3\.so' "$work/loaded.txt"
}
check "--version maps no GTK library" maps_no_gtk "$IFS_RENDER" --version
check "--help maps no GTK library" maps_no_gtk "$IFS_RENDER" --help
check "--output maps no GTK library" maps_no_gtk "$IFS_RENDER" --output "$work/fern.png" "$fern" --batches 1
check "and still writes the picture" test -s "$work/fern.png"

LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loaded" "$IFS_RENDER" "$fern" >"$work/program.out" 2>&1 &
program_pid=$!
window=$(wait_for_window "$TITLE" "$program_pid")
check "and it mapped GTK" grep -q 'file=libgtk-3\.so' "$work/loaded.$program_pid"
"$DESKTOP_HELPER" close "$window"
wait_program_end
check "the desktop program ends with status 0 (status $status)" test "$status" -eq 0

# The installed layout: bin/ifs-render beside libexec/ifs-render/ifs-render-gtk.so.
mkdir -p "$work/prefix/bin" "$work/prefix/libexec/ifs-render"
cp "$IFS_RENDER" "$work/prefix/bin/ifs-render"
cp "$module" "$work/prefix/libexec/ifs-render/"
IFS_RENDER="$work/prefix/bin/ifs-render" start_program "$fern"
canvas_shot "$work/installed_start.png"
check "the installed layout's program opens its window and draws" wait_for_growth "$work/installed_start.png"
"$DESKTOP_HELPER" close "$window"
wait_program_end
check "and ends with status 0 (status $status)" test "$status" -eq 0

run_alone() {  # run_alone PROGRAM: its status in `status`, its messages in $work/alone.txt
  status=0
  "$1" "$fern" >"$work/alone.txt" 2>&1 || status=$?
}
mkdir -p "$work/alone"
cp "$IFS_RENDER" "$work/alone/ifs-render"
run_alone "$work/alone/ifs-render"
check "a program without its module exits with status 69 (status $status)" test "$status" -eq 69
check "and says the module is missing" grep -q "^ifs-render: the desktop module ifs-render-gtk.so is missing" "$work/alone.txt"
check "and opens no window" test "$(xdotool search --name "^$TITLE\$" 2>/dev/null | wc -l)" -eq 0

mkdir -p "$work/alone/libexec/ifs-render"
echo "not a library" >"$work/alone/libexec/ifs-render/ifs-render-gtk.so"
run_alone "$work/alone/ifs-render"
check "a program beside a broken module exits with status 69 (status $status)" test "$status" -eq 69
check "and says the module cannot be loaded" grep -q "^ifs-render: cannot load the desktop module $work/alone/libexec/ifs-render/ifs-render-gtk.so: " "$work/alone.txt"
finish
