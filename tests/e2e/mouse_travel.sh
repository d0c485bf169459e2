#!/usr/bin/env bash
# A running full-screen saver and the real X pointer: 50 pixels of travel on one axis keep it
# running, 51 end it. Driven with xdotool, since only a real pointer move reaches the saver the way
# a user's does. Run by ctest inside tools/test (DISPLAY and WINEPREFIX set): mouse_travel.sh SCR
# MOSKEL_SCR, when set and not empty, names another build of the saver to run instead of SCR.
set -u
scr=${MOSKEL_SCR:-$1}
failures=0
checks=0

source "$(cd "$(dirname "$0")/../.." && pwd)/tools/lib/frames.sh"

# Two new frames after a move show that the move has been handled; gives up at once when the saver
# has ended.
wait_for_frames() {
    frames "$1" 30 "$saver" 2>/dev/null
}

check() {
    checks=$((checks + 1))
    if eval "$2"; then
        echo "ok: $1"
    else
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}

# Wine learns where the X pointer is only from pointer events over its own windows, and a new
# process takes its reference from what Wine last learnt. So a first run, ended by a long move,
# makes Wine agree with the X server before the run that counts. The move starts from where the
# pointer stands once the saver draws (Wine 10 puts it in the middle of the screen by then), and
# goes towards the middle, so that the run that counts has room to move on every side.
xdotool mousemove 0 0
"$MOSKEL_WINE" "$scr" /s </dev/null >/dev/null 2>&1 &
saver=$!
wait_for_frames 2
eval "$(xdotool getmouselocation --shell)"
xdotool mousemove $((X < 512 ? X + 200 : X - 200)) $((Y < 384 ? Y + 200 : Y - 200))
for ((i = 0; i < 1500; i++)); do
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.02
done
kill "$saver" 2>/dev/null
wait "$saver"

"$MOSKEL_WINE" "$scr" /s </dev/null >/dev/null 2>&1 &
saver=$!
check "frames are drawn" "wait_for_frames 3"
# The saver measures travel from where the pointer stood when its window was made. That is where
# the pointer was left, unless Wine's desktop process had ended meanwhile (it does when a slow
# start leaves Wine without programs for a while) or Wine 10 runs it: either puts the pointer in
# the middle of the screen. So the moves are made from where the pointer is now.
eval "$(xdotool getmouselocation --shell)"
x0=$X
y0=$Y
for step in "50 0" "40 40" "0 -50" "-50 0"; do
    read -r dx dy <<<"$step"
    xdotool mousemove $((x0 + dx)) $((y0 + dy))
    check "still running after a move by $dx,$dy" "wait_for_frames 2 && kill -0 $saver"
done
xdotool mousemove "$x0" $((y0 - 51))
for ((i = 0; i < 1500; i++)); do
    kill -0 "$saver" 2>/dev/null || break
    sleep 0.02
done
check "ended after a move by 0,-51" "! kill -0 $saver 2>/dev/null"
kill "$saver" 2>/dev/null # one still running fails the exit code check instead of hanging here
wait "$saver" 2>/dev/null
code=$?
check "exit code 0" "((code == 0))"
echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
