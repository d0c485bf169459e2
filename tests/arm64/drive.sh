# shellcheck shell=bash
# Driving the ARM64 saver under Wine in qemu-aarch64 from outside, as a user does: the shell,
# xdotool, xwd and the prefix's reg. Sourced by run_check.sh and bench/arm64_frame_rate.sh, with
# DISPLAY, the lane's variables (in_root_lane aarch64, tools/lib/root_lanes.sh) and these set:
#   SCR, HELPER (preview_parent.exe), WORK (a folder of the caller's), STARTED (an array).
# Every program started here goes into STARTED, for the caller to end at exit.
# Emulation makes starting a program slow: SLOW bounds that. Once a program runs, it answers
# within QUICK.
SLOW=180
QUICK=30
WINE_LOADER="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/wine"
# frames N LIMIT PID [WINDOW X Y WIDTH HEIGHT], the rig's way of seeing frames.
# shellcheck source=tools/lib/frames.sh
source "${WINE_LOADER%/wine}/lib/frames.sh"

fail() {
    echo "$*" >&2
    return 1
}

reg() { WINEPREFIX=$MOSKEL_WINEARM64_PREFIX "$MOSKEL_WINEARM64" reg "$@" </dev/null 2>&1; }

# start ARGUMENT...: the saver in the background, as SAVER; what it writes goes to saver.err.
start() {
    "$WINE_LOADER" "$SCR" "$@" </dev/null >/dev/null 2>"$WORK/saver.err" &
    SAVER=$!
    STARTED+=("$SAVER")
}

# start_parent: the preview parent, a window of another program, as PARENT. Its first line in
# parent.out is its handle, each later one where Wine has the pointer when it moves over it; it
# goes when close_parent ends its input. Its input is held open by a process of its own, so that no
# program started meanwhile inherits it and keeps the parent.
start_parent() {
    mkfifo "$WORK/parent.in"
    "$WINE_LOADER" "$HELPER" <"$WORK/parent.in" >"$WORK/parent.out" 2>/dev/null &
    PARENT=$!
    sleep infinity >"$WORK/parent.in" &
    PARENT_INPUT=$!
    STARTED+=("$PARENT" "$PARENT_INPUT")
}
close_parent() { kill "$PARENT_INPUT"; }

# poll_while PID LIMIT COMMAND...: runs COMMAND until it prints something, within LIMIT seconds,
# and prints that; fails when nothing came, and at once when PID has ended. waited PID LIMIT says
# which of the two it was.
poll_while() {
    local pid=$1 end=$((SECONDS + $2)) out
    shift 2
    until out=$("$@") && [[ -n $out ]]; do
        kill -0 "$pid" 2>/dev/null && ((SECONDS < end)) || return 1
        sleep 0.2
    done
    echo "$out"
}
poll() { poll_while $$ "$@"; }
waited() { kill -0 "$1" 2>/dev/null && echo "not within $2 s" || echo "the program ended first"; }
ended() { kill -0 "$1" 2>/dev/null || echo ended; }
named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && echo "$1"; }
line_of() { grep -x -- "$1" "$2" 2>/dev/null; }

# focused NAME PID: that window of PID shows and has the keyboard focus, where a user types; Wine
# gives a new window the focus a little after it shows.
focused() {
    local id
    id=$(poll_while "$2" "$SLOW" named "$1") ||
        fail "no window named $1 showed: $(waited "$2" "$SLOW")" || return
    poll_while "$2" "$QUICK" has_focus "$id" >/dev/null ||
        fail "$1 never had the keyboard focus: $(waited "$2" "$QUICK")"
}

# pointer: where the X server has the pointer, as "X Y".
pointer() {
    local x y
    read -r x y _ < <(xdotool getmouselocation)
    echo "${x#x:} ${y#y:}"
}

# calibrate: makes Wine's pointer agree with the X server's for the rest of the run. Wine learns
# where the pointer is only from pointer events over its own windows, and a saver measures travel
# from what Wine has. Wine's desktop can end between two programs, and a new one puts the pointer
# in the middle. So a parent window stays up for the whole check, keeping the desktop, and the
# pointer moves over it until the window reports the place where X has it.
calibrate() {
    start_parent
    poll_while "$PARENT" "$SLOW" named PreviewParent >/dev/null ||
        fail "calibration: the parent window never showed: $(waited "$PARENT" "$SLOW")" || return
    xdotool mousemove 310 210 mousemove 400 275
    poll_while "$PARENT" "$QUICK" line_of "$(pointer)" "$WORK/parent.out" >/dev/null ||
        fail "calibration: Wine never had the pointer where X has it, $(pointer):" \
            "$(waited "$PARENT" "$QUICK")"
}

# exits PID LIMIT: PID ends by itself within LIMIT seconds, with exit code 0.
exits() {
    local code
    poll "$2" ended "$1" >/dev/null || fail "still running after $2 s" || return
    wait "$1"
    code=$?
    ((code == 0)) || fail "exit code $code"
}
