# Sourced by the real-window tests and the benchmarks: starts a private X server on a free display,
# exports DISPLAY, and stops the server (and the program under test, if any) when the script ends.
# XVFB_SCREEN sets the screen (default 1280x800x24).
# -noreset: the server must not reset while one program has quit and the next is connecting.

xvfb_pid=
app_pid=
xvfb_cleanup_extra=:

stop_xvfb_session() {
    eval "$xvfb_cleanup_extra"
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}

start_xvfb_session() {
    local number
    for number in $(shuf -i 100-999 -n 20); do
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$number"
        trap stop_xvfb_session EXIT
        for _ in $(seq 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
    done
    echo "could not start Xvfb" >&2
    return 1
}

# wait_for_window TITLE: prints the id of the program's visible window once it is mapped.
wait_for_window() {
    timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

# wait_for_exit: waits for the program under test to end (20 s at most) and sets app_status to its
# exit status. Not to be run in a subshell, which cannot wait for this shell's child.
wait_for_exit() {
    app_status=0
    timeout 20 tail --pid="$app_pid" -f /dev/null || { echo "the program did not end"; return 1; }
    wait "$app_pid" || app_status=$?
    app_pid=
}
