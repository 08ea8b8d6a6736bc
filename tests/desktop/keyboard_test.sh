#!/usr/bin/env bash
# The keyboard alone, as a user at a machine set to a non-Latin layout meets
# the program: Ctrl and the key where O (and S) stand open the Open (and Save)
# dialog under the Russian layout, as they do in every layout on Windows.
source "$(dirname "$0")/desktop_session.sh"
OPEN="Please choose file to load"
SAVE="Please choose file to save"
command -v setxkbmap >/dev/null || { echo "FAIL: setxkbmap is missing (scripts/setup installs it)" >&2; exit 1; }

window_opens() { wait_for_window "$1" >/dev/null; }

start_program
setxkbmap -layout ru
check "the X server types Russian now" eval 'setxkbmap -query | grep -q "^layout: *ru$"'
# xdotool presses the key that types these letters: the O key and the S key.
focus "$window"
xdotool key ctrl+Cyrillic_shcha
check "Ctrl and the O key open the Open dialog" window_opens "$OPEN"
focus "$(wait_for_window "$OPEN")" && xdotool key Escape && window_gone "$OPEN"
focus "$window"
xdotool key ctrl+Cyrillic_yeru
check "Ctrl and the S key open the Save dialog" window_opens "$SAVE"
focus "$(wait_for_window "$SAVE")" && xdotool key Escape && window_gone "$SAVE"
check "the program runs on after both dialogs were closed with Escape" program_running
setxkbmap -layout us
finish
