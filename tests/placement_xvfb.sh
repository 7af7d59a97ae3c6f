#!/usr/bin/env bash
# Where the real program opens on a 1024 x 768 screen at several scale factors: centred where the
# window fits, and never above or left of the screen where it does not (at scale 2 the 423 x 443
# window is 846 x 886 screen pixels). No window manager runs, so the window has no frame.
set -euo pipefail
program=$1
title='砚溪岚舍网签名设计 V1.0'
XVFB_SCREEN=1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb_session

# opens_at SCALE X Y: the program, started at SCALE, maps its window at X, Y (screen pixels).
opens_at() {
    QT_SCALE_FACTOR=$1 env -u QT_QPA_PLATFORM "$program" &
    app_pid=$!
    local window
    window=$(wait_for_window "$title")
    [ -n "$window" ] || { echo "no window at scale $1"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "scale $1: window at $X, $Y, $WIDTH x $HEIGHT"
    kill "$app_pid"
    wait "$app_pid" || true
    app_pid=
    [ "$X" = "$2" ] && [ "$Y" = "$3" ] || { echo "expected $2, $3"; return 1; }
}

opens_at 1 300 162
opens_at 2 88 0
opens_at 1.5 195 51 # the screen is 683 x 512 in the window's units: centred
