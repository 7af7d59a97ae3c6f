#!/usr/bin/env bash
# The tile menu in a real X server: right-click the first tile, choose "复制图片" with the keyboard,
# and read the clipboard back as another program would.
set -euo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb_session

scratch=$(mktemp -d)
xvfb_cleanup_extra='rm -rf "$scratch"'
# A fresh settings folder: the copy is made at the default choices (x4, transparent, black ink).
export XDG_CONFIG_HOME=$scratch/config

env -u QT_QPA_PLATFORM "$program" &
app_pid=$!
window=$(wait_for_window '砚溪岚舍网签名设计 V1.0')
[ -n "$window" ] || { echo "no window with the program's title"; exit 1; }
xdotool windowfocus --sync "$window"
# 画板1 covers (8, 64)-(188, 164) of the client area; there is no frame without a window manager.
xdotool mousemove --window "$window" 60 110 click 3
for _ in $(seq 50); do
    xdotool search --onlyvisible --class 'signature-designer' 2>/dev/null | grep -qv "^$window\$" && break
    sleep 0.1
done
xdotool key Down Return

targets=
for _ in $(seq 50); do
    targets=$(xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)
    grep -qx 'image/png' <<<"$targets" && break
    sleep 0.1
done
echo "clipboard offers: $(tr '\n' ' ' <<<"$targets")"
grep -qx 'image/png' <<<"$targets" || { echo "no PNG on the clipboard"; exit 1; }
xclip -selection clipboard -t image/png -o >"$scratch/copied.png"
seen=$(identify -format '%m %w %h %[channels]' "$scratch/copied.png")
echo "copied: $seen"
[[ "$seen" == "PNG 720 400 srgba"* ]] || { echo "expected a 720 x 400 PNG with alpha"; exit 1; }

xdotool key Escape
wait_for_exit
[ "$app_status" = 0 ]
