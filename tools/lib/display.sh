# shellcheck shell=bash
# Private X displays: Xvfb on a display number it picks itself, ended by stop_displays.

XVFB_PIDS=()

# launch_xvfb VAR [Xvfb option ...]: starts Xvfb and stores ":N" in VAR once it takes connections
# (the server must stay a child of this shell, so the result cannot come on stdout). With
# -displayfd, Xvfb picks a free display number and writes it when it is ready.
launch_xvfb() {
    local result=$1 fifo pid number=""
    shift
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/moskel-xvfb.XXXXXX")
    mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" 3>"$fifo" </dev/null \
        >/dev/null 2>&1 9>&- &
    pid=$!
    read -r -t 30 number <"$fifo"
    rm -f "$fifo"
    if [[ -z $number ]]; then
        kill "$pid" 2>/dev/null
        echo "Xvfb did not start" >&2
        return 1
    fi
    XVFB_PIDS+=("$pid")
    printf -v "$result" ':%d' "$number"
}

# stop_displays: ends only the servers that launch_xvfb started.
stop_displays() {
    local pid
    for pid in "${XVFB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    XVFB_PIDS=()
}
