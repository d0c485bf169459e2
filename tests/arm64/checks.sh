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

# A threshold stored by the display settings counts: with "Mouse Threshold" 10 as REG_DWORD, /s
# keeps running after moves of 9 pixels on either axis from where it started and ends with exit
# code 0 after 11.
saver_threshold_from_registry() {
    local x y dx dy outcome out
    forget "${SETTINGS_KEYS[0]}" && forget "${SETTINGS_KEYS[1]}" || return
    out=$(reg add "${SETTINGS_KEYS[0]}" /v 'Mouse Threshold' /t REG_DWORD /d 10 /f) ||
        fail "reg add of the threshold: $out" || return
    calibrate || return
    read -r x y < <(pointer)
    start /s
    frames 3 "$SLOW" "$SAVER" || fail "/s does not draw" || return
    while read -r dx dy outcome; do
        xdotool mousemove $((x + dx)) $((y + dy))
        "$outcome" || fail "/s with a threshold of 10, after a move by $dx,$dy from $x,$y:" \
            "not as expected ($outcome)" || return
    done <<'EOF'
9 0 keeps_running
-9 9 keeps_running
11 0 ends_cleanly
EOF
}

# helper ARGUMENT...: the lane's Windows program once, on its own, in the saver's Wine.
helper() { "$WINE_LOADER" "$HELPER" "$@" </dev/null 2>/dev/null; }

# Neither Alt+F4 nor the platform's SC_SCREENSAVE, posted by another program, ends /s or stops its
# frames; a key typed afterwards still ends it with exit code 0.
saver_ignores_close_commands() {
    local code
    calibrate || return
    start /s
    frames 2 "$SLOW" "$SAVER" && focused SaverWindow "$SAVER" ||
        fail "/s never drew with the keyboard focus" || return
    xdotool key alt+F4
    keeps_running || fail "/s after Alt+F4: not running and drawing" || return
    helper post-screensave
    code=$?
    ((code == 0)) || fail "no saver window to post SC_SCREENSAVE to: exit code $code" || return
    keeps_running || fail "/s after SC_SCREENSAVE: not running and drawing" || return
    xdotool key a
    ends_cleanly || fail "/s did not end cleanly on a key after Alt+F4 and SC_SCREENSAVE"
}

# A key typed into /s ends it with exit code 0.
saver_ends_on_key() {
    calibrate || return
    start /s
    frames 2 "$SLOW" "$SAVER" && focused SaverWindow "$SAVER" ||
        fail "/s never drew with the keyboard focus" || return
    xdotool key a
    ends_cleanly
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

# running_flag [clear]: the platform's screen-saver-running flag, 0 or 1, read by a program of
# its own each time (a Wine process keeps what it read first).
running_flag() { helper running-flag "$@" | awk '$1 == "running" { print $2 }'; }
error_box() { helper error-box; }

# On an X display without GLX, /s shows one box: caption "Error", the pixel format's failure as
# its text, one button, OK, and no icon; the screen-saver-running flag is set while the box is up,
# and OK ends the saver with exit code 0 and clears the flag. Wine serves two X displays from one
# server, but each process draws on the display it was started with, so the saver and the
# programs that look at it all start on that display.
saver_without_gl() {
    local -x DISPLAY=${MOSKEL_NO_GL_DISPLAY:-}
    local box flag expected
    [[ -n $DISPLAY ]] ||
        fail "no X display without GLX (tools/test sets MOSKEL_NO_GL_DISPLAY)" || return
    flag=$(running_flag clear)
    [[ $flag == 0 ]] || fail "the running flag could not be cleared: '$flag'" || return
    start /s
    box=$(poll_while "$SAVER" "$SLOW" error_box) ||
        fail "/s without GL showed no Error box: $(waited "$SAVER" "$SLOW")" || return
    expected="text ChoosePixelFormat() failed:  Cannot find a suitable pixel format.
button 1
running 1"
    [[ ${box//$'\r'/} == "$expected" ]] ||
        fail "/s without GL: the box and flag read (text, button IDs, icon, running flag):" \
            "$box" "; expected: $expected" || return
    helper press-ok || fail "OK could not be pressed: the box went" || return
    ends_cleanly || fail "/s without GL did not end cleanly on OK" || return
    flag=$(running_flag)
    [[ $flag == 0 ]] || fail "the running flag after the saver ended: '$flag', not 0"
}
