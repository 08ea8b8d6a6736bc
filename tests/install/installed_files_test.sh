#!/usr/bin/env bash
# Installs the build into a temporary prefix through DESTDIR and checks every
# installed file with the desktop's own tools, the way a desktop would use
# them: no display is needed.
# Usage: installed_files_test.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) version=$3
. "$(dirname "$0")/check.sh"
require_tools desktop-file-validate update-desktop-database update-mime-database xdg-mime gio man file \
  bash cmp appstreamcli dpkg-parsechangelog convert identify od timeout
[ -f /usr/share/bash-completion/bash_completion ] || require_tools bash-completion-is-not-installed

work=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/stage
prefix=/opt/ifs
root=$stage$prefix
share=$root/share
icon_sizes=(16 22 24 32 48 64 128 256)
app_id=io.github.tarnwick.ifs_render

DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "FAILED: cmake --install" >&2; exit 1; }

# --- exactly the expected files, all under DESTDIR + prefix -------------------
{
  echo bin/ifs-render
  echo libexec/ifs-render/ifs-render-gtk.so
  echo "share/applications/$app_id.desktop"
  echo share/bash-completion/completions/ifs-render
  echo share/doc/ifs-render/README.md
  echo share/doc/ifs-render/changelog.gz
  echo share/doc/ifs-render/copyright
  for size in "${icon_sizes[@]}"; do echo "share/icons/hicolor/${size}x${size}/apps/ifs-render.png"; done
  for example in "$source"/examples/*.ifs; do echo "share/ifs-render/examples/$(basename "$example")"; done
  echo share/man/man1/ifs-render.1.gz
  echo "share/metainfo/$app_id.metainfo.xml"
  echo share/mime/packages/ifs-render.xml
  echo share/thumbnailers/ifs-render.thumbnailer
} | sort >"$work/expected"
(cd "$stage" && find . -type f -o -type l) | sed "s|^\./${prefix#/}/||" | sort >"$work/installed"
check "the installed files are exactly the expected ones, under DESTDIR and the prefix" \
  diff -u "$work/expected" "$work/installed"

# --- the program ----------------------------------------------------------------
check "the installed program tells its version" \
  test "$("$root/bin/ifs-render" --version)" = "ifs-render $version"
renders_example() {
  "$root/bin/ifs-render" --output "$work/fern.png" "$share/ifs-render/examples/fern.ifs" --batches 1 &&
    file -b "$work/fern.png" | grep -q '^PNG image data, 600 x 600'
}
check "the installed program renders an installed example" renders_example
# The module loads before any display is looked for: without one, the program
# that found its module says only that there is no display.
finds_its_module() {
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/ifs-render" "$share/ifs-render/examples/fern.ifs" \
    2>"$work/no_display.txt" || status=$?
  [ "$status" -eq 69 ] && grep -q "no desktop display" "$work/no_display.txt" &&
    ! grep -q "desktop module" "$work/no_display.txt"
}
check "the installed program finds its installed desktop module" finds_its_module
check "the desktop module is a shared object" bash -c 'file -b "$1" | grep -q "ELF.*shared object"' _ \
  "$root/libexec/ifs-render/ifs-render-gtk.so"
examples_match() {
  local example
  for example in "$source"/examples/*.ifs; do
    cmp -s "$example" "$share/ifs-render/examples/$(basename "$example")" || return 1
  done
}
check "the installed examples are the bundled ones" examples_match
check "the licence is installed as the copyright file" cmp -s "$source/LICENSE" "$share/doc/ifs-render/copyright"

# --- desktop entry and file type --------------------------------------------------
desktop=$share/applications/$app_id.desktop
check "the desktop entry validates" desktop-file-validate "$desktop"
entry_is() { grep -qx "$1" "$desktop"; }
check "the desktop entry opens one file with the program" entry_is 'Exec=ifs-render %f'
check "the desktop entry is in the Graphics category" entry_is 'Categories=Graphics;2DGraphics;'
check "the desktop entry names the .ifs type and the installed icon" \
  bash -c 'grep -qx "MimeType=text/x-ifs;" "$1" && grep -qx "Icon=ifs-render" "$1"' _ "$desktop"

# The desktop as a file manager sees it: the prefix's data on the search path,
# the program on PATH, an empty home.
as_desktop() {
  env PATH="$root/bin:$PATH" XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$work/home/data" \
    XDG_CONFIG_HOME="$work/home/config" XDG_CURRENT_DESKTOP=GNOME "$@"
}
mime_messages=$(as_desktop update-mime-database "$share/mime" 2>&1)
check "the MIME package is read without complaint" test -z "$mime_messages"
check "the MIME database maps *.ifs to text/x-ifs, a kind of text/plain" \
  bash -c 'grep -qx "50:text/x-ifs:\*.ifs" "$1/globs2" && grep -qx "text/x-ifs text/plain" "$1/subclasses"' \
  _ "$share/mime"
desktop_messages=$(as_desktop update-desktop-database "$share/applications" 2>&1)
check "the desktop database is built without complaint" test -z "$desktop_messages"

printf '0 0 0 0.5 0 0 1\n' >"$work/x.ifs"
printf 'text\n' >"$work/x.txt"
check "xdg-mime finds the .ifs type of a file" test "$(as_desktop xdg-mime query filetype "$work/x.ifs")" = text/x-ifs
check "xdg-mime still finds plain text for a .txt file" \
  test "$(as_desktop xdg-mime query filetype "$work/x.txt")" = text/plain
check "xdg-mime makes the program the default for .ifs files" \
  test "$(as_desktop xdg-mime query default text/x-ifs)" = "$app_id.desktop"
offers_program() {
  as_desktop gio mime text/x-ifs >"$work/gio-mime" 2>&1
  grep -q "^Default application for .text/x-ifs.: $app_id\.desktop$" "$work/gio-mime" || { cat "$work/gio-mime" >&2; return 1; }
}
check "gio offers the program as the default for .ifs files" offers_program

# --- thumbnailer -----------------------------------------------------------------
# Run as a file manager runs it: the Exec line of the entry for the file's
# type, split into words, %s the size, %i the file, %o a new file to fill.
thumbnailer=$share/thumbnailers/ifs-render.thumbnailer
entry_value() { sed -n "s/^$1=//p" "$thumbnailer"; }
check "the thumbnailer entry is for the .ifs type and names the installed program" \
  bash -c 'test "$1" = "text/x-ifs;" && test -x "$2/bin/$3"' _ "$(entry_value MimeType)" "$root" "$(entry_value TryExec)"
mkdir -p "$work/thumbs"
thumbnail() {  # thumbnail SIZE FILE OUT: the entry's command, its status
  local word command=()
  for word in $(entry_value Exec); do
    case $word in
      %s) command+=("$1") ;;
      %i) command+=("$2") ;;
      %o) command+=("$3") ;;
      *) command+=("$word") ;;
    esac
  done
  as_desktop timeout 60 "${command[@]}" 2>"$work/thumbs/errors"
}
thumbnail_is_picture() {  # thumbnail_is_picture FILE: a 128-pixel PNG, dark at the corner, lit in the middle
  local out=$work/thumbs/$(basename "$1").png
  thumbnail 128 "$1" "$out" || { cat "$work/thumbs/errors" >&2; return 1; }
  file -b "$out" | grep -q '^PNG image data, 128 x 128' || { file "$out" >&2; return 1; }
  [ "$(identify -format '%m %w %h' "$out")" = "PNG 128 128" ] || return 1
  local corner lit
  corner=$(convert "$out" -format '%[fx:int(255*p{0,0}.intensity)]' info:)
  lit=$(convert "$out" -colorspace gray -threshold 10% -format '%[fx:int(1000*mean)]' info:)
  [ "$corner" -le 40 ] && [ "$lit" -ge 5 ] || { echo "$1: corner $corner, lit $lit per mille" >&2; return 1; }
}
check "the thumbnailer draws the installed fern as a 128-pixel PNG" thumbnail_is_picture "$share/ifs-render/examples/fern.ifs"
check "the thumbnailer draws a library's first table" thumbnail_is_picture "$share/ifs-render/examples/classics.ifs"
printf 'broken {\n1 2 3\n}\nsquare {\n.5 0 0 .5 0 0 .25\n.5 0 0 .5 .5 0 .25\n.5 0 0 .5 0 .5 .25\n.5 0 0 .5 .5 .5 .25\n}\n' \
  >"$work/thumbs/second.ifs"
check "the thumbnailer draws the first table of a library that can be drawn" thumbnail_is_picture "$work/thumbs/second.ifs"
# A file manager runs it on every file of a folder: whatever a file holds, it
# ends well within its ten seconds, with a failure and no file, so the
# generic icon is shown.
printf 'not a table\n' >"$work/thumbs/text.ifs"
yes '0.5 0 0 0.5 0 0 0.5' | head -n 1000000 >"$work/thumbs/million-maps.ifs"
yes '0.5 0 0 0.5 0 0 0.5' | head -n 5000 >"$work/thumbs/many-maps.ifs"
yes 1 | tr -d '\n' | head -c 100000000 >"$work/thumbs/long-line.ifs"
: >"$work/thumbs/empty.ifs"
# Just under the bytes read: tables that each fail only at their end.
for ((table = 0; table < 40; table++)); do
  printf 't%d {\n' "$table"
  yes '.5 0 0 .5 0 0 .5' | head -n 1500
  printf '1 2\n}\n'
done | head -c 1040000 >"$work/thumbs/broken-tables.ifs"
# Timed to the millisecond. A sanitizer build on a loaded machine can reach
# the program's own ten-second limit, which then ends it: that run is allowed
# a second more for starting and ending, not the 60 s timeout's worth.
refuses_quickly() {
  local out=$work/thumbs/refused.png started status=0
  started=$(date +%s%N)
  thumbnail 128 "$1" "$out" || status=$?
  local took_ms=$((($(date +%s%N) - started) / 1000000))
  [ "$status" -ne 0 ] && [ "$status" -ne 124 ] || { echo "$1: status $status" >&2; return 1; }
  [ ! -e "$out" ] || { echo "$1: a thumbnail was written" >&2; return 1; }
  [ "$took_ms" -le 11000 ] || { echo "$1: took $took_ms ms" >&2; return 1; }
  [ -z "$(ls -A "$work/thumbs" | grep -v '\.ifs$\|^errors$\|\.ifs\.png$')" ] || { ls -A "$work/thumbs" >&2; return 1; }
}
for hostile in text million-maps many-maps long-line empty broken-tables; do
  check "the thumbnailer refuses $hostile.ifs quickly and writes nothing" refuses_quickly "$work/thumbs/$hostile.ifs"
done
rm -f "$work/thumbs/million-maps.ifs" "$work/thumbs/long-line.ifs"

# --- software-centre entry -----------------------------------------------------
metainfo=$share/metainfo/$app_id.metainfo.xml
# Network checks of the web page and screenshot are left out: the test must
# not depend on the network, nor on the project's pages being published.
appstream_clean() {  # appstream_clean COMMAND...: passes with no issue at all, pedantic ones too
  local report
  report=$(appstreamcli "$@" --pedantic --no-net 2>&1) && ! grep -qE '^ *[EWIP]: ' <<<"$report" ||
    { echo "$report" >&2; return 1; }
}
check "appstreamcli validates the software-centre entry, pedantically" appstream_clean validate "$metainfo"
check "appstreamcli finds the desktop entry it names among the installed files" \
  appstream_clean validate-tree "$root"
xml_text() { sed -n "s|.*<$1>\\(.*\\)</$1>.*|\\1|p" "$metainfo"; }
check "the entry's id is the desktop entry's name" test "$(xml_text id)" = "$app_id"
check "the entry provides the installed program" test -x "$root/bin/$(xml_text binary)"
check "the entry provides the file type the MIME package defines" \
  grep -q "<mime-type type=\"$(xml_text mediatype)\">" "$share/mime/packages/ifs-render.xml"
check "the entry's release is the program's version" \
  test "ifs-render $(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo")" = "$("$root/bin/ifs-render" --version)"

# --- changelog ------------------------------------------------------------------
zcat "$share/doc/ifs-render/changelog.gz" >"$work/changelog"
check "the changelog's latest entry is the program's version" \
  test "ifs-render $(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$("$root/bin/ifs-render" --version)"

# --- manual page --------------------------------------------------------------
page=$share/man/man1/ifs-render.1.gz
man_messages=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >"$work/man.txt")
check "the manual page renders with man -l without warnings" test -z "$man_messages"
has_sections() {
  local section
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "FILE FORMAT" "EXIT STATUS" EXAMPLES; do
    grep -qx "$section" "$work/man.txt" || { echo "no section $section" >&2; return 1; }
  done
}
check "the manual page has its sections" has_sections
# The options of --help: the dashed words of the lines that start with an
# option, before the description.
"$root/bin/ifs-render" --help | sed -n -E 's/^[[:space:]]+(-[-[:alnum:]].*)$/\1/p' | sed -E 's/[[:space:]]{2,}.*//' |
  grep -oE '(^|[ ,])--?[[:alnum:]][-[:alnum:]]*' | tr -d ' ,' | sort -u >"$work/options"
documents_options() {
  local option missing=0
  while read -r option; do
    grep -qE -- "(^|[^-[:alnum:]])$option([^-[:alnum:]]|$)" "$work/man.txt" ||
      { echo "the manual page does not document $option" >&2; missing=1; }
  done <"$work/options"
  [ -s "$work/options" ] && [ "$missing" -eq 0 ]
}
check "the manual page documents every option of --help" documents_options
documents_statuses() {
  local status
  for status in 0 1 2 64 69; do
    sed -n '/^EXIT STATUS$/,/^[A-Z]/p' "$work/man.txt" | grep -qE "^ +$status( |\$)" || return 1
  done
}
check "the manual page lists every exit status" documents_statuses

# --- bash completion, loaded the way bash-completion finds it ------------------
mkdir -p "$work/files/folder"
touch "$work/files/b.txt" "$work/files/c.png" "$work/files/D.BMP"
printf '0 0 0 0.5 0 0 1\n' >"$work/files/a.ifs"
library='fern {\n0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n}\nsquare {\n.5 0 0 .5 0 0 1\n}\n'
printf "$library" >"$work/files/library.ifs"
mkfifo "$work/files/stream.ifs"
# complete_line LINE: what completing at the end of LINE offers, one a line,
# sorted. The line is split into words as bash does, "=" a word of its own.
complete_line() {
  (cd "$work/files" && as_desktop timeout 20 bash --norc --noprofile -c '
    . /usr/share/bash-completion/bash_completion
    __load_completion ifs-render || exit 1
    read -r -a COMP_WORDS <<<"${1//=/ = }"
    [[ $1 == *[[:space:]=] ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$1 COMP_POINT=${#1}
    _ifs_render ifs-render "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$1") | sort
}
offers() {  # offers LINE WORD...: completing LINE offers exactly the WORDs
  local line=$1 expected got
  shift
  expected=$(printf '%s\n' "$@" | sort)
  got=$(complete_line "$line") || { echo "completing '$line' failed or did not end" >&2; return 1; }
  [ "$got" = "$expected" ] || { echo "completing '$line' offers: $(echo $got)" >&2; return 1; }
}
check "the completion completes an option" offers "ifs-render --out" --output
check "the completion offers every option of --help" \
  test "$(complete_line "ifs-render -")" = "$(grep -- '^-' "$work/options" | sort)"
check "the completion offers .ifs files and folders for the FILE argument" \
  offers "ifs-render --batches 3 " a.ifs folder library.ifs stream.ifs
check "the completion completes the start of a file name typed" offers "ifs-render fo" folder
offers_pictures() {
  offers "ifs-render a.ifs --output " c.png D.BMP folder && offers "ifs-render -o " c.png D.BMP folder &&
    offers "ifs-render a.ifs --output=" c.png D.BMP folder && offers "ifs-render -o c" c.png
}
check "the completion offers pictures and folders, not tables, after --output, -o and --output=" offers_pictures
check "the completion offers .ifs files and folders after --write-ifs" \
  offers "ifs-render --write-ifs " a.ifs folder library.ifs stream.ifs
offers_formats() { offers "ifs-render --format " bmp png && offers "ifs-render -o x --format=p" png; }
check "the completion offers the formats after --format, also after =" offers_formats
check "the completion offers the shadings after --shade" offers "ifs-render --shade " density flat
check "the completion offers the depths after --depth" offers "ifs-render --depth " 16 8
check "the completion offers the colour maps after --colormap" \
  offers "ifs-render --colormap " cividis grey inferno magma viridis
check "the completion offers the tables of the file on the line after --name" \
  offers "ifs-render --output x.png library.ifs --name " fern square
check "the completion offers the tables that start with what is typed" \
  offers "ifs-render -o x.png ./library.ifs --batches 2 --name=s" square
check "the completion offers no table of a seven-number file" offers "ifs-render a.ifs --name "
check "the completion finds the file on the line past a picture option's value" \
  offers "ifs-render --size 64x64 library.ifs -o x.png --name f" fern
offers_thumbnail_words() {
  offers "ifs-render --thumbnail 128 " a.ifs folder library.ifs stream.ifs && offers "ifs-render --thumbnail " &&
    offers "ifs-render --thumbnail=128 a.ifs " c.png folder && offers "ifs-render --thumbnail 64 library.ifs c" c.png
}
check "the completion offers .ifs files after --thumbnail's size, nothing for the size, then pictures" \
  offers_thumbnail_words
# A program waits to write a library into the pipe: reading it to find the
# tables would take its data from whoever it was meant for.
printf "$library" >"$work/files/stream.ifs" &
writer=$!
check "the completion does not read a pipe on the line to find tables" offers "ifs-render stream.ifs --name "
check "and the pipe's data is still there for the program" kill -0 "$writer"
kill "$writer" 2>/dev/null
wait "$writer" 2>/dev/null

# --- icons ----------------------------------------------------------------------
icons_ok() {
  local size description
  for size in "${icon_sizes[@]}"; do
    description=$(file -b "$share/icons/hicolor/${size}x${size}/apps/ifs-render.png")
    [[ $description == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
      { echo "${size}x${size} icon: $description" >&2; return 1; }
  done
}
check "the icons are RGBA PNG files of their theme sizes" icons_ok
# Legible on a panel: laid on white and on black, as ImageMagick reads and
# flattens the icon, a good share of its pixels stand out from the panel by at
# least 40 % of full brightness.
stand_out_share() {  # stand_out_share ICON PANEL(0 black, 255 white): per cent of the pixels
  convert "$1" -background "$([ "$2" = 0 ] && echo black || echo white)" -flatten -colorspace gray -depth 8 gray:- |
    od -An -tu1 -v | awk -v panel="$2" '
      { for (i = 1; i <= NF; i++) { pixels++; if ($i - panel >= 102 || panel - $i >= 102) standing++ } }
      END { print pixels ? int(100 * standing / pixels) : 0 }'
}
small_icons_legible() {
  local size panel standing legible=0
  for size in 16 22 24 32 48; do
    for panel in 255 0; do
      standing=$(stand_out_share "$share/icons/hicolor/${size}x${size}/apps/ifs-render.png" "$panel")
      [ "$standing" -ge 15 ] || { echo "${size}x${size} icon on panel $panel: $standing % of it stands out" >&2; legible=1; }
    done
  done
  return "$legible"
}
check "the small icons stand out on light and on dark panels" small_icons_legible

finish_checks
