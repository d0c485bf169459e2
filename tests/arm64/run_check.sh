#!/usr/bin/env bash
# Runs one check of the ARM64 lane, a function of checks.sh or preview_checks.sh, in a process of
# its own, and ends whatever it started:
#   tests/arm64/run_check.sh CHECK SCR HELPER      (HELPER: preview_parent.exe)
# ctest runs each check so (tests/arm64/CMakeLists.txt), with DISPLAY set and the lane started
# (start_arm64_lane and in_root_lane, tools/lib).
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/arm64/drive.sh
source "$here/drive.sh"
# shellcheck source=tests/arm64/checks.sh
source "$here/checks.sh"
# shellcheck source=tests/arm64/preview_checks.sh
source "$here/preview_checks.sh"
check=$1
SCR=$2
HELPER=$3
if [[ -z ${MOSKEL_WINEARM64:-} || -z ${DISPLAY:-} ]]; then
    echo "cannot run $check: no X display or no ARM64 lane (run it through tools/test)" >&2
    exit 1
fi
declare -F "$check" >/dev/null || { echo "no check named $check in checks.sh" >&2; exit 1; }
WORK=$(mktemp -d)
STARTED=()
end_started() {
    local pid
    for pid in "${STARTED[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap end_started EXIT
"$check"
