#!/usr/bin/env bash
# The real program in a real X server: it must open its window under its title and end with status 0
# when Esc is pressed.
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb_session

env -u QT_QPA_PLATFORM "$program" &
app_pid=$!
window=$(wait_for_window '砚溪岚舍网签名设计 V1.0')
[ -n "$window" ] || { echo "no window with the program's title"; exit 1; }
echo "window $window is up"
xdotool windowfocus --sync "$window"
xdotool key Escape
wait_for_exit
echo "exit status $app_status"
[ "$app_status" = 0 ]
