# shellcheck shell=bash
# The checks of the ARM64 lane, each a function that run_check.sh runs alone in a process of its
# own (one ctest test each, tests/arm64/CMakeLists.txt) with the helpers of drive.sh. A check says
# why it failed on stderr. Every decision rests on exit codes and on what no language setting
# translates (X window names, registry types), so the lane passes whatever LANG says.

SETTINGS_KEYS=('HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers'
    'HKCU\Software\Orvel\Tavrin Saver')
SAVER_KEY=${SETTINGS_KEYS[1]}

# forget KEY: KEY is not there afterwards (reg delete gives 1 when it was not there before).
forget() {
    local out code
    out=$(reg delete "$1" /f)
    code=$?
    ((code <= 1)) || fail "reg delete $1: exit code $code: $out"
}

# /s draws, keeps running after moves of 50 pixels on either axis from where it started (the
# default threshold: neither the common settings nor the saver's own are there), and ends with
# exit code 0 after 51.
saver_mouse_threshold() {
    local x y dx dy outcome
    forget "${SETTINGS_KEYS[0]}" && forget "${SETTINGS_KEYS[1]}" && calibrate || return
    read -r x y < <(pointer)
    start /s
    frames 3 "$SLOW" "$SAVER" || fail "/s does not draw" || return
    while read -r dx dy outcome; do
        xdotool mousemove $((x + dx)) $((y + dy))
        "$outcome" || fail "/s after a move by $dx,$dy from $x,$y: not as expected ($outcome)" ||
            return
    done <<'EOF'
50 0 keeps_running
-50 -50 keeps_running
0 51 ends_cleanly
EOF
}
keeps_running() { frames 2 "$QUICK" "$SAVER"; }
ends_cleanly() { exits "$SAVER" "$QUICK"; }

# A key typed into /s ends it with exit code 0.
saver_ends_on_key() {
    calibrate || return
    start /s
    frames 2 "$SLOW" "$SAVER" && focused SaverWindow "$SAVER" ||
        fail "/s never drew with the keyboard focus" || return
    xdotool key a
    ends_cleanly
}

# Wine 8 draws GL for a child window whose top-level window belongs to another process into an X
# window of its own inside a 1x1 window at -1,-1, and never onto the screen: a window of the
# preview's size there holds its frames.
offscreen() {
    xwininfo -root -tree | awk -v g="$1x$2+0+0" 'NF > 2 && $(NF - 1) == g && $NF == "+-1+-1" {
        print $1 }'
}

# geometry WINDOW: "X Y WIDTH HEIGHT" on the screen.
geometry() {
    xdotool getwindowgeometry --shell "$1" |
        awk -F= '$1 ~ /^(X|Y|WIDTH|HEIGHT)$/ {printf "%s ", $2} END {print ""}'
}

# /p HWND draws at the size of a window of another program, nothing outside that window changes,
# and it ends with exit code 0 when that window goes.
preview_in_parent() {
    local hwnd id x y width height gl
    start_parent
    hwnd=$(poll_while "$PARENT" "$SLOW" head -n 1 "$WORK/parent.out") ||
        fail "the parent gave no handle: $(waited "$PARENT" "$SLOW")" || return
    start /p "$hwnd"
    id=$(poll_while "$PARENT" "$SLOW" named PreviewParent) ||
        fail "the parent never showed: $(waited "$PARENT" "$SLOW")" || return
    read -r x y width height < <(geometry "$id")
    gl=$(poll_while "$SAVER" "$SLOW" offscreen "$width" "$height") ||
        fail "/p made no GL window of the parent's size, ${width}x$height:" \
            "$(waited "$SAVER" "$SLOW")" || return
    frames 3 "$SLOW" "$SAVER" "$gl" "$x" "$y" "$width" "$height" || fail "/p does not draw" ||
        return
    kill -0 "$SAVER" 2>/dev/null || fail "/p ended while its parent was there" || return
    close_parent
    ends_cleanly || fail "/p did not end cleanly when its parent went"
}

# config_key KEY: a /c with nothing stored ends with exit code 0 when KEY is typed into its dialog.
config_key() {
    forget "$SAVER_KEY" || return
    start /c
    focused 'Config dialog' "$SAVER" || return
    xdotool key "$1"
    ends_cleanly || fail "/c did not end cleanly on $1"
}

# /c: Return keeps what the dialog shows, the default: rotating.
config_return_stores_rotate() {
    local out
    config_key Return || return
    out=$(reg query "$SAVER_KEY" /v Rotate) || fail "no Rotate value after Return: $out" || return
    awk '$1 == "Rotate" && $2 == "REG_DWORD" && $3 == "0x1" {found = 1} END {exit !found}' \
        <<<"${out//$'\r'/}" || fail "Rotate is not REG_DWORD 1: $out"
}

# /c: Escape keeps nothing, so the saver's key is not made (reg query gives 1 for a missing key).
config_escape_stores_nothing() {
    local out code
    config_key Escape || return
    out=$(reg query "$SAVER_KEY")
    code=$?
    ((code == 1)) || fail "reg query of the saver's key after Escape: exit code $code: $out"
}

window_or_end() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || ended "$1"; }

# /x asks for nothing: the saver ends by itself with exit code 0, and no window of its process
# shows meanwhile.
x_exits_without_window() {
    local seen
    start /x
    seen=$(poll "$SLOW" window_or_end "$SAVER") || fail "/x still runs after $SLOW s" || return
    [[ $seen == ended ]] || fail "/x showed the window $seen" || return
    exits "$SAVER" 0
}
