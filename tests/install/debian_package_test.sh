#!/usr/bin/env bash
# Builds the Debian package with `cpack -G DEB` and checks it with dpkg's own
# tools and lintian: its control fields, that its dependencies name the
# package of every shared library the program loads, its files, and that the
# program runs from the unpacked package (no chroot, no installation).
# Usage: debian_package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) version=$3
. "$(dirname "$0")/check.sh"
require_tools cpack dpkg-deb dpkg-shlibdeps dpkg-query readelf ldd file cmp lintian

work=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; echo "FAILED: cpack -G DEB" >&2; exit 1; }
packages=("$work"/out/*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "FAILED: cpack made no single .deb" >&2; exit 1; }
deb=${packages[0]}
dpkg-deb --info "$deb" >"$work/info" || { echo "FAILED: dpkg-deb --info" >&2; exit 1; }
cat "$work/info"

field() { dpkg-deb --field "$deb" "$1"; }
check "the package is ifs-render of the project's version" \
  test "$(field Package) $(field Version)" = "ifs-render $version"
check "the package is for this machine's architecture" test "$(field Architecture)" = "$(dpkg --print-architecture)"
check "the package is in the graphics section" test "$(field Section)" = graphics
check "dpkg-deb --info shows the dependencies" grep -q '^ Depends: .*libc6' "$work/info"
configured_maintainer=$(sed -n 's/^IFS_PACKAGE_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
check "the maintainer is the one the build was configured with" \
  test -n "$configured_maintainer" -a "$(field Maintainer)" = "$configured_maintainer"

# Debian's own judgement of the package: any error or warning fails (the
# notes of lower levels are shown).
lintian_clean() {
  local status=0
  lintian --display-info --pedantic "$deb" >"$work/lintian" 2>&1 || status=$?
  cat "$work/lintian"
  [ "$status" -eq 0 ] && ! grep -qE '^[EW]: ' "$work/lintian"
}
check "lintian reports no error and no warning" lintian_clean

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/ifs-render
module=$work/root/usr/libexec/ifs-render/ifs-render-gtk.so

# Every shared library the program and its desktop module need comes from a
# package the Depends field names.
depends=$(field Depends)
depends_cover_libraries() {  # depends_cover_libraries ELF_FILE
  local soname path owner covered=0 total=0
  while read -r soname; do
    # The dynamic loader is listed by its path alone.
    path=$(ldd "$1" | awk -v name="$soname" '$1 == name { print $3 } $1 ~ ("/" name "$") { print $1 }')
    [ -n "$path" ] || { echo "ldd does not find $soname" >&2; return 1; }
    owner=$(dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$(readlink -f "$path")" 2>/dev/null ||
      dpkg-query -S "${path#/usr}" 2>/dev/null)
    owner=${owner%%:*}
    total=$((total + 1))
    if [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]]; then
      covered=$((covered + 1))
    else
      echo "$soname comes from '$owner', which Depends ($depends) does not name" >&2
    fi
  done < <(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  [ "$total" -gt 0 ] && [ "$covered" -eq "$total" ]
}
check "the dependencies name the package of every library the program needs" depends_cover_libraries "$program"
check "the dependencies name the package of every library the desktop module needs" \
  depends_cover_libraries "$module"
check "the dependencies name GTK 3, which only the module needs" grep -q '^ Depends: .*libgtk-3-0' "$work/info"
check "the program itself needs no GTK library" bash -c '! readelf -d "$1" | grep "(NEEDED)" | grep -q libgtk' _ "$program"
finds_its_module() {
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$program" "$work/root/usr/share/ifs-render/examples/fern.ifs" \
    2>"$work/no_display.txt" || status=$?
  [ "$status" -eq 69 ] && grep -q "no desktop display" "$work/no_display.txt" &&
    ! grep -q "desktop module" "$work/no_display.txt"
}
check "the unpacked program finds the packaged desktop module" finds_its_module

check "the unpacked program runs and tells its version" test "$("$program" --version)" = "ifs-render $version"
renders_from_package() {
  "$program" --output "$work/fern.bmp" "$work/root/usr/share/ifs-render/examples/fern.ifs" --batches 1 &&
    file -b "$work/fern.bmp" | grep -q '600 x 600'
}
check "the unpacked program renders the packaged fern" renders_from_package
check "the package names its licence in its copyright file" \
  cmp -s "$source/LICENSE" "$work/root/usr/share/doc/ifs-render/copyright"
has_files() {
  local path
  for path in usr/share/man/man1/ifs-render.1.gz usr/share/applications/io.github.tarnwick.ifs_render.desktop \
    usr/share/metainfo/io.github.tarnwick.ifs_render.metainfo.xml usr/share/doc/ifs-render/changelog.gz \
    usr/share/mime/packages/ifs-render.xml usr/share/bash-completion/completions/ifs-render \
    usr/share/icons/hicolor/48x48/apps/ifs-render.png usr/share/ifs-render/examples/fern.ifs \
    usr/share/thumbnailers/ifs-render.thumbnailer usr/libexec/ifs-render/ifs-render-gtk.so; do
    [ -f "$work/root/$path" ] || { echo "the package lacks /$path" >&2; return 1; }
  done
}
check "the package holds the manual page, changelog, desktop and software-centre entries, file type, thumbnailer, completion, icons and examples" has_files
check "the package installs everything under /usr" \
  test "$(dpkg-deb --contents "$deb" | awk '{ print $6 }' | grep -v '^\./$' | grep -cv '^\./usr/')" = 0

finish_checks
