#!/usr/bin/env bash
# The emulated ARM64 saver's frame rate, full screen, under Wine in qemu-aarch64, with DISPLAY set
# and the lane's variables (in_root_lane aarch64). tools/bench --arm64-frame-rate runs it:
#   bench/arm64_frame_rate.sh SCR HELPER SECONDS
# Wine's wgl channel traces each SwapBuffers with +timestamp's clock; the rate counts the second
# half of the time from the first swap to the last, long after start-up.
set -u
# shellcheck source=tests/arm64/drive.sh
source "$(cd "$(dirname "$0")" && pwd)/../tests/arm64/drive.sh"
SCR=$1
HELPER=$2
WORK=$(mktemp -d)
STARTED=()
trap 'kill "${STARTED[@]}" 2>/dev/null; rm -rf "$WORK"' EXIT

calibrate || exit 1
WINEDEBUG=+timestamp,+wgl start /s
frames 1 "$SLOW" "$SAVER" || exit 1
sleep "$3"
awk -F: '/:glxdrv_wglSwapBuffers / {t[n++] = $1}
    END {for (i = 0; n > 3 && t[i] < (t[0] + t[n - 1]) / 2; i++) {}
        if (n < 4) {print "too few swaps traced to count"; exit 1}
        printf "aarch64 under qemu-aarch64, full screen: %.1f frames per second " \
            "(%d swaps in %.1f s)\n",
            (n - 1 - i) / (t[n - 1] - t[i]), n - 1 - i, t[n - 1] - t[i]}' "$WORK/saver.err"
