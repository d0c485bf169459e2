#!/usr/bin/env bash
# A running full-screen saver and the real X pointer: 50 pixels of travel on one axis keep it
# running, 51 end it. Driven with xdotool, since only a real pointer move reaches the saver the way
# a user's does. Run by ctest inside tools/test (DISPLAY and WINEPREFIX set): mouse_travel.sh SCR
set -u
scr=$1
failures=0

look() {
    xwd -root -silent | md5sum
}

# Frames are drawn only when the saver's queue is empty, so two new frames after a move show that
# the move has been handled.
wait_for_frames() {
    local changes=$1 last now i
    last=$(look)
    for ((i = 0; i < 1500 && changes > 0; i++)); do
        sleep 0.02
        now=$(look)
        if [[ $now != "$last" ]]; then
            changes=$((changes - 1))
            last=$now
        fi
    done
    ((changes == 0))
}

check() {
    if eval "$2"; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}

# Wine learns where the X pointer is only from pointer events over its own windows, and a new
# process takes its reference from what Wine last learnt. So a first run, ended by the move to the
# start, makes Wine agree with the X server before the run that counts.
xdotool mousemove 0 0
"$MOSKEL_WINE" "$scr" /s </dev/null >/dev/null 2>&1 &
saver=$!
wait_for_frames 2
xdotool mousemove 500 400
for ((i = 0; i < 1500; i++)); do
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.02
done
kill "$saver" 2>/dev/null
wait "$saver"

"$MOSKEL_WINE" "$scr" /s </dev/null >/dev/null 2>&1 &
saver=$!
check "frames are drawn" "wait_for_frames 3"
for move in "550 400" "540 440" "500 350" "450 400"; do
    xdotool mousemove $move
    check "still running after a move to $move" "wait_for_frames 2 && kill -0 $saver"
done
xdotool mousemove 500 349
for ((i = 0; i < 1500; i++)); do
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.02
done
check "ended after a move to 500 349 (51 pixels up)" "! kill -0 $saver 2>/dev/null"
wait "$saver" 2>/dev/null
code=$?
check "exit code 0" "((code == 0))"
echo "$((6 - failures)) passed, $failures failed"
((failures == 0))
