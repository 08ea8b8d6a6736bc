#!/usr/bin/env bash
# The window carries the program's icon where panels and task switchers read
# it (_NET_WM_ICON): installed into a prefix of its own and started with
# nothing loaded, the program offers the window manager every size of its
# theme icon, each pixel for pixel the installed file as ImageMagick reads it,
# and its class is the one the installed desktop entry names.
source "$(dirname "$0")/desktop_session.sh"
need_tools xprop cmake od awk

cmake --install "$BUILD_DIR" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }
export XDG_DATA_DIRS="$work/prefix/share:/usr/share"
IFS_RENDER=$work/prefix/bin/ifs-render
start_program
# The icon comes once the first frame is on the screen.
has_icon() { xprop -id "$window" -notype _NET_WM_ICON | grep -q '^_NET_WM_ICON = '; }
for _ in $(seq 50); do has_icon && break; sleep 0.1; done

# The property as 32-bit numbers, one a line: width, height, then width x
# height pixels as ARGB, for each icon in turn.
xprop -id "$window" -len 1000000 -notype -f _NET_WM_ICON 32c ' $0+\n' _NET_WM_ICON |
  sed -n 's/^_NET_WM_ICON //p' | tr -d ' ' | tr ',' '\n' >"$work/icon.numbers"
offered_pixels() {  # offered_pixels SIZE: the pixels of the SIZE x SIZE icon offered
  awk -v size="$1" '{ value[NR] = $1 } END {
    for (i = 1; i + 1 <= NR; i += 2 + value[i] * value[i + 1])
      if (value[i] == size && value[i + 1] == size) for (j = 0; j < size * size; j++) print value[i + 2 + j] }' \
    "$work/icon.numbers"
}
installed_pixels() {  # installed_pixels SIZE: the theme icon's pixels as ARGB numbers
  convert "$work/prefix/share/icons/hicolor/${1}x${1}/apps/ifs-render.png" -depth 8 rgba:- | od -An -tu1 -v |
    awk '{ for (i = 1; i <= NF; i++) { c[n % 4] = $i; if (++n % 4 == 0) printf "%.0f\n", c[3] * 16777216 + c[0] * 65536 + c[1] * 256 + c[2] } }'
}
offers_installed_icon() {
  local size
  for size in 16 22 24 32 48 64 128 256; do
    offered_pixels "$size" >"$work/offered"
    installed_pixels "$size" >"$work/installed"
    [ -s "$work/offered" ] || { echo "no ${size}x${size} icon on the window" >&2; return 1; }
    cmp -s "$work/offered" "$work/installed" || { echo "the ${size}x${size} icon is not the installed one" >&2; return 1; }
  done
}
check "the window offers every size of the installed icon, pixel for pixel" offers_installed_icon

# Panels find the window's desktop entry, and so its name and icon, by the
# window class the entry names.
entry_class=$(sed -n 's/^StartupWMClass=//p' "$work"/prefix/share/applications/*.desktop)
window_class=$(xprop -id "$window" -notype WM_CLASS | sed -n 's/^WM_CLASS = "\([^"]*\)".*/\1/p')
check "the window's class ($window_class) is the one its desktop entry names ($entry_class)" \
  test -n "$entry_class" -a "$window_class" = "$entry_class"
finish
