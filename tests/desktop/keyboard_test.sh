#!/usr/bin/env bash
# The keyboard alone, as a user meets the program: Ctrl and the key where O
# (and S) stand open the Open (and Save) dialog under the Russian layout, as
# they do in every layout on Windows; F10 opens the File menu, where Up and
# Return choose Quit; while the menu is open nothing is drawn, the ticks that
# fell due give one batch once it closes, and the Escape that closed it does
# not end the program.
source "$(dirname "$0")/desktop_session.sh"
OPEN="Please choose file to load"
SAVE="Please choose file to save"
need_tools setxkbmap

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

focus "$window"
xdotool key F10
sleep 0.5
xdotool key Up  # round to the last item
sleep 0.2
xdotool key Return
wait_program_end
check "F10, Up and Return end the program with status 0 (status $status)" test "$status" -eq 0

fern="$SOURCE_DIR/examples/fern.ifs"
start_program "$fern"  # its first tick falls 1.5 s after the load
xdotool key F10
sleep 4.5  # ticks fall due at 1.5, 3 and 4.5 s; the next one at 6 s
xdotool keydown Escape
sleep 0.3  # held as a person holds it
xdotool keyup Escape
sleep 0.1
canvas_shot "$work/after_menu.png"
check "the Escape that closed the menu left the program running" program_running
ticks=$(ticks_of "$work/after_menu.png" "$fern" 4)
check "the ticks that fell due while the menu was open gave one batch (${ticks:-none})" test "$ticks" = 1
finish
