# shellcheck shell=bash
# Private X displays: Xvfb on the first free display number, ended by stop_displays.

XVFB_PIDS=()

# launch_xvfb VAR [Xvfb option ...]: starts Xvfb on the first free display and stores ":N" in VAR
# (the server must stay a child of this shell, so the result cannot come on stdout).
launch_xvfb() {
    local result=$1 n i pid
    shift
    for ((n = 90; n < 200; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp "$@" </dev/null >/dev/null 2>&1 9>&- &
        pid=$!
        for ((i = 0; i < 100; i++)); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [[ -e /tmp/.X11-unix/X$n ]]; then
            XVFB_PIDS+=("$pid")
            printf -v "$result" ':%d' "$n"
            return 0
        fi
    done
    echo "No free X display for Xvfb" >&2
    return 1
}

# stop_displays: ends only the servers that launch_xvfb started.
stop_displays() {
    local pid
    for pid in "${XVFB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    XVFB_PIDS=()
}
