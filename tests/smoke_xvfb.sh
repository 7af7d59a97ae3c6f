#!/usr/bin/env bash
# The real program in a real X server: it must open its window under its title and end with status 0
# when Esc is pressed.
set -euo pipefail
program=$1
title='砚溪岚舍网签名设计 V1.0'

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 1

env -u QT_QPA_PLATFORM "$program" &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n 1)
[ -n "$window" ] || { echo "no window titled $title"; exit 1; }
echo "window $window is up"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key Escape
status=0
timeout 20 tail --pid="$app" -f /dev/null || { echo "the program did not end after Esc"; exit 1; }
wait "$app" || status=$?
app=
echo "exit status $status"
[ "$status" -eq 0 ]
