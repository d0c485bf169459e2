# shellcheck shell=bash
# The set-up that every tool that runs Windows programs opens with, and its end.

# Commands that stop_rig runs, last added first: what was started beside the private prefix's
# server and the displays (the root lanes' servers), each a function and its arguments.
RIG_STOPS=()

# lock_build: takes the build folder for the rest of this tool's life, waiting while another tool
# holds it. Tools on one build folder share its trees, its prefix and that prefix's Wine server, so
# only one may use them at a time, and stop_rig may then end the server. The lock stays on file
# descriptor 9, which the long-lived processes started here do not inherit; the lock file names
# its holder.
lock_build() {
    local lock="$BUILD/.rig.lock"
    mkdir -p "$BUILD"
    exec 9>>"$lock"
    if ! flock -n 9; then
        echo "waiting for $(<"$lock"), which uses ${BUILD%/}/" >&2
        flock 9
    fi
    echo "tools/${0##*/} (pid $$)" >"$lock"
}

# prepare_rig [--display-if-none] [Xvfb option ...]: the build folder's lock, the packages, the
# Wine loaders, the private prefix, a private X display in DISPLAY and the prefix's Wine server,
# the last two stopped when the script exits. With --display-if-none, an X display that is already there (a desktop's) is used
# instead, and DESKTOP_DISPLAY is set to it.
DESKTOP_DISPLAY=""
prepare_rig() {
    local reuse=""
    [[ ${1:-} == --display-if-none ]] && reuse=1 && shift
    lock_build
    install_missing || return 1
    choose_wine_loaders
    ensure_prefix || return 1
    if [[ -n $reuse && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        # shellcheck disable=SC2034 # for the caller
        DESKTOP_DISPLAY=$DISPLAY
    else
        launch_xvfb DISPLAY "$@" || return 1
        export DISPLAY
    fi
    start_wineserver
    trap stop_rig EXIT
}

stop_rig() {
    local i
    for ((i = ${#RIG_STOPS[@]} - 1; i >= 0; i--)); do
        ${RIG_STOPS[i]}
    done
    stop_wineserver
    stop_displays
}
