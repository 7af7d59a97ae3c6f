#!/usr/bin/env bash
# Keys in a real X server: five Tabs from 编辑框1 come back to it, typing goes to the focused field
# and nowhere else, the focus comes back after the save dialog, arrow keys leave it on a button, and
# Esc ends the program with status 0.
set -euo pipefail
program=$1
title='砚溪岚舍网签名设计 V1.0'
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb_session
work=$(mktemp -d)
xvfb_cleanup_extra='[ -n "${KEEP_SHOTS:-}" ] && cp -r "$work" /tmp/keys-shots; rm -rf "$work"'

env -u QT_QPA_PLATFORM "$program" &
app_pid=$!
window=$(wait_for_window "$title")
[ -n "$window" ] || { echo "no window titled $title"; exit 1; }
xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y of the client area (no window manager)

# shot NAME LEFT TOP WIDTH HEIGHT: a picture of part of the window, in client coordinates.
shot() { import -window root -crop "$4x$5+$((X + $2))+$((Y + $3))" +repage "$work/$1.png"; }
field1() { shot "$1" 83 11 114 14; } # inside the frame, which changes with the focus
field2() { shot "$1" 275 11 130 14; }
# Pixels that differ between two pictures; the blinking caret alone stays well under 40.
changed() { compare -metric AE -fuzz 10% "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1 || true; }
# until_changed FIELD BEFORE AFTER MIN: shoots FIELD as AFTER until it differs from BEFORE by more than
# MIN pixels (10 s at most: a sanitizer build draws slowly); false if it never does.
until_changed() {
    for _ in $(seq 100); do
        "$1" "$3"
        [ "$(changed "$2" "$3")" -gt "$4" ] && return 0
        sleep 0.1
    done
    return 1
}
# visible_windows: how many windows of the program are mapped.
visible_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }

sleep 0.5
field1 a1; field2 a2
xdotool key --delay 50 Tab Tab Tab Tab Tab
xdotool type --delay 50 'xyz'
until_changed field1 a1 b1 40 || { echo "the text did not reach 编辑框1"; exit 1; }
field2 b2
echo "after five Tabs and typing: field 1 changed $(changed a1 b1) px, field 2 $(changed a2 b2) px"
[ "$(changed a2 b2)" -lt 40 ] || { echo "编辑框2 changed"; exit 1; }

xdotool key --delay 50 Tab Tab
xdotool type --delay 50 'Q'
until_changed field2 b2 c2 20 || { echo "the text did not reach 编辑框2"; exit 1; }
field1 c1
echo "after two Tabs and typing: field 1 changed $(changed b1 c1) px, field 2 $(changed b2 c2) px"
[ "$(changed b1 c1)" -lt 40 ] || { echo "编辑框1 changed"; exit 1; }

# The save dialog takes the focus; cancelling it gives it back to 按钮2, two Shift+Tabs after 编辑框2.
windows=$(visible_windows)
xdotool key --delay 50 Tab Tab space
for _ in $(seq 100); do [ "$(visible_windows)" -gt "$windows" ] && break; sleep 0.1; done
[ "$(visible_windows)" -gt "$windows" ] || { echo "no save dialog"; exit 1; }
xdotool key Escape
for _ in $(seq 100); do [ "$(visible_windows)" -eq "$windows" ] && break; sleep 0.1; done
xdotool key --delay 50 shift+Tab shift+Tab
xdotool type --delay 50 'W'
until_changed field2 c2 d2 20 || { echo "the focus did not come back after the save dialog"; exit 1; }
echo "after the dialog: field 2 changed $(changed c2 d2) px"

# Arrow keys leave the focus on 按钮1 (one Shift+Tab back from 编辑框2): the R typed after them lands
# nowhere, and one Tab then reaches 编辑框2 again.
field2 e2
xdotool key --delay 50 shift+Tab Right Down Left Up Right
xdotool type --delay 50 'R'
sleep 0.3
field2 f2
[ "$(changed e2 f2)" -lt 20 ] || { echo "an arrow key moved the focus from 按钮1 to 编辑框2"; exit 1; }
xdotool key --delay 50 Tab
xdotool type --delay 50 'Z'
until_changed field2 f2 g2 20 || { echo "the focus did not stay on 按钮1 after the arrow keys"; exit 1; }
echo "after the arrow keys on 按钮1: field 2 changed $(changed e2 f2) px, then $(changed f2 g2) px"

xdotool key Escape
wait_for_exit
echo "exit status $app_status"
[ "$app_status" = 0 ]
