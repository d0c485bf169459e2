#!/usr/bin/env bash
# The ARM64 saver under Wine for arm64 in qemu-aarch64, driven from outside as a user drives it
# (the shell, xdotool, xwd, the prefix's reg). Run by tools/test, with DISPLAY, the lane's variables
# and its Wine server set up:   tests/arm64/lane.sh SCR HELPER   (HELPER: preview_parent.exe)
# Emulated on a shared machine everything is slow: every wait polls with a generous limit, so a
# slow machine makes the lane slow, never red.
set -u
scr=$1
helper=$2
here=$(cd "$(dirname "$0")" && pwd)
wine="$here/../../tools/wine"
limit=180
failures=0
checks=0
saver=""
work=$(mktemp -d)
trap 'kill "$saver" 2>/dev/null; rm -rf "$work"' EXIT

check() {
    checks=$((checks + 1))
    eval "$2" && echo "ok: $1" && return
    echo "FAILED: $1"
    failures=$((failures + 1))
}

reg() { WINEPREFIX=$MOSKEL_WINEARM64_PREFIX "$MOSKEL_WINEARM64" reg "$@" </dev/null 2>&1; }

# start ARGUMENT...: the saver in the background, as $saver; what it writes goes to saver.err.
start() {
    "$wine" "$scr" "$@" </dev/null >/dev/null 2>"$work/saver.err" &
    saver=$!
}

# look [WINDOW X Y WIDTH HEIGHT]: fingerprints of what the screen (or WINDOW) shows, and of what
# the screen shows outside the rectangle.
look() {
    xwd -root -silent >"$work/screen.xwd"
    (($# == 0)) && md5sum <"$work/screen.xwd" && echo "nothing outside" && return
    xwd -id "$1" -silent | md5sum
    convert "xwd:$work/screen.xwd" -fill black \
        -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))" rgb:- | md5sum
}

# frames N PID [WINDOW RECTANGLE]: waits until the picture changed N times while PID runs, and
# fails at once if the screen outside the rectangle changes. Frames are drawn only when the
# saver's queue is empty, so two new frames after an input show that it was handled.
frames() {
    local left=$1 pid=$2 end=$((SECONDS + limit)) first last now
    first=$(look ${3:-})
    last=$first
    while ((left > 0 && SECONDS < end)) && kill -0 "$pid" 2>/dev/null; do
        sleep 0.05
        now=$(look ${3:-})
        if [[ ${now#*$'\n'} != "${first#*$'\n'}" ]]; then
            echo "  the screen changed outside the parent"
            return 1
        fi
        [[ $now != "$last" ]] && left=$((left - 1)) && last=$now
    done
    ((left == 0))
}

# exits PID: waits until PID has ended (ending it after the limit), and fails unless it ended by
# itself with exit code 0.
exits() {
    local code
    poll ended "$1" >/dev/null || { echo "  still running after $limit s" && kill "$1"; }
    wait "$1"
    code=$?
    ((code == 0)) || { echo "  exit code $code" && false; }
}

# poll COMMAND...: runs COMMAND until it prints something (within the limit), and prints that.
poll() {
    local end=$((SECONDS + limit)) out
    until out=$("$@") && [[ -n $out ]]; do
        ((SECONDS < end)) || return 1
        sleep 0.2
    done
    echo "$out"
}
ended() { kill -0 "$1" 2>/dev/null || echo ended; }
named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && echo "$1"; }
# focused NAME: that window has the keyboard focus, where a user types; Wine gives a new window
# the focus a little after it shows.
focused() { local id && id=$(poll named "$1") && poll has_focus "$id" >/dev/null; }
# Wine 8 draws GL for a child window whose top-level window belongs to another process into an X
# window of its own inside a 1x1 window at -1,-1, and never onto the screen: a window of the
# preview's size there holds its frames.
offscreen() {
    xwininfo -root -tree | awk -v g="$1x$2+0+0" 'NF > 2 && $(NF - 1) == g && $NF == "+-1+-1" {
        print $1 }'
}

# The file: an ARM64 GUI program that imports exactly what cmake/imports lists, within 81 KiB.
headers=$(llvm-readobj --file-headers "$scr")
imported=$(llvm-readobj --coff-imports "$scr" | awk '/Name:/ {d = $2} /Symbol:/ {print d "!" $2}')
listed=$(awk '/^LIBRARY/ {d = $2} /^ +[A-Za-z]/ {print d "!" $1}' "$here"/../../cmake/imports/*.def)
while IFS='|' read -r what test; do
    check "the file: $what" "$test"
done <<'EOF'
machine ARM64 (0xAA64)|grep -qx '  Machine: IMAGE_FILE_MACHINE_ARM64 (0xAA64)' <<<"$headers"
GUI subsystem|grep -qx '  Subsystem: IMAGE_SUBSYSTEM_WINDOWS_GUI (0x2)' <<<"$headers"
imports exactly what cmake/imports/*.def list|diff <(sort <<<"$imported") <(sort <<<"$listed")
at most 82,944 bytes|(($(stat -c %s "$scr") <= 82944))
EOF

# The default threshold: neither the common settings nor the saver's own are there.
reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers' /f >/dev/null
reg delete 'HKCU\Software\Orvel\Tavrin Saver' /f >/dev/null

# Wine learns where the X pointer is only from pointer events over its own windows, and a saver
# measures travel from what Wine last learnt. So a first run ends with moves that make Wine agree
# with the X server: the second ends it should the first stay within the threshold of where Wine
# had the pointer (a new desktop process puts it in the middle). That run gives the frame rate:
# Wine's wgl channel traces each SwapBuffers with +timestamp's clock, counted over the second half
# of the time from the first swap to the last, long after start-up.
xdotool mousemove 0 0
WINEDEBUG=+timestamp,+wgl start /s
frames 1 "$saver" && sleep 20
xdotool mousemove 500 400
frames 2 "$saver" && xdotool mousemove 100 100
exits "$saver" >/dev/null
echo "info: the emulated saver, full screen: $(awk -F: '/:glxdrv_wglSwapBuffers / {t[n++] = $1}
    END {for (i = 0; n > 3 && t[i] < (t[0] + t[n - 1]) / 2; i++) {}
        if (n > 3) printf "%.1f frames per second (%d swaps in %.1f s)",
            (n - 1 - i) / (t[n - 1] - t[i]), n - 1 - i, t[n - 1] - t[i]
        else printf "too few swaps traced to count"}' "$work/saver.err")"

start /s
check "/s draws: the screen changes from look to look" 'frames 3 $saver'
eval "$(xdotool getmouselocation --shell)"
while IFS='|' read -r dx dy what outcome; do
    check "/s $what after a move by $dx,$dy" \
        "kill -0 \$saver 2>/dev/null && xdotool mousemove $((X + dx)) $((Y + dy)) && $outcome"
done <<'EOF'
50|0|keeps running (default threshold)|frames 2 $saver
-50|-50|keeps running (default threshold)|frames 2 $saver
0|51|ends with exit code 0|exits $saver
EOF
start /s
check "a second /s ends on a key, exit code 0" \
    'frames 2 $saver && focused SaverWindow && xdotool key a && exits $saver'

# /p: the saver draws for a window of another program, nowhere else, and goes when it goes.
coproc parent { "$wine" "$helper" 2>/dev/null; }
parent_pid=$parent_PID
to_parent=${parent[1]}
read -r -t "$limit" -u "${parent[0]}" hwnd
start /p "${hwnd:-}"
check "/p <parent> draws at the parent's size, and nothing outside the parent changes" \
    'id=$(poll named PreviewParent) && eval "$(xdotool getwindowgeometry --shell "$id")" &&
        gl=$(poll offscreen "$WIDTH" "$HEIGHT") && frames 3 $saver "$gl $X $Y $WIDTH $HEIGHT"'
kill -0 "$saver" 2>/dev/null
running=$?
exec {to_parent}>&-
check "/p ends when its parent goes, exit code 0" '((running == 0)) && exits $saver'
exits "$parent_pid" >/dev/null

# /c: Return keeps what the dialog shows (the default, rotating), Escape keeps nothing.
setting() {
    reg query 'HKCU\Software\Orvel\Tavrin Saver' | tr -d '\r' | awk '$1 == "Rotate" {print $2, $3}
        /Unable to find the specified registry key/ {print "no key"}'
}
while IFS='|' read -r key expected what; do
    reg delete 'HKCU\Software\Orvel\Tavrin Saver' /f >/dev/null
    start /c
    check "/c: $what, exit code 0" "focused 'Config dialog' && xdotool key $key && exits \$saver &&
        [[ \$(setting) == '$expected' ]]"
done <<'EOF'
Return|REG_DWORD 0x1|Return stores "Rotate" as REG_DWORD 1
Escape|no key|Escape stores nothing
EOF

# /x asks for nothing: the saver ends by itself, and no window of its process shows meanwhile.
window_or_end() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null || ended "$1"
}
start /x
check "/x exits at once with exit code 0 and shows no window" \
    '[[ $(poll window_or_end $saver) == ended ]] && exits $saver'

echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
