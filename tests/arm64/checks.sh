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

# framed W H: the X window of W x H, anywhere in the tree, whose picture changes between two looks:
# where the frames of a preview of that size show. Wine 8 draws a child window's GL into an X
# window of the child's size outside the screen, Wine 10 into the parent's X window on the screen;
# neither place is assumed.
framed() {
    local id before
    for id in $(xwininfo -root -tree | awk -v size="$1x$2+" 'NF > 2 && index($(NF - 1), size) == 1 {
        print $1 }'); do
        before=$(xwd -id "$id" -silent 2>/dev/null | md5sum)
        sleep 0.2
        [[ $(xwd -id "$id" -silent 2>/dev/null | md5sum) != "$before" ]] && echo "$id" && return
    done
}

# geometry WINDOW: "X Y WIDTH HEIGHT" on the screen.
geometry() {
    xdotool getwindowgeometry --shell "$1" |
        awk -F= '$1 ~ /^(X|Y|WIDTH|HEIGHT)$/ {printf "%s ", $2} END {print ""}'
}

# colour_at WINDOW X Y: the colour of that pixel of WINDOW's picture, as #RRGGBB.
colour_at() {
    xwd -id "$1" -silent | convert xwd:- -crop "1x1+$2+$3" -depth 8 txt:- | awk 'NR == 2 {
        print $3 }'
}

# edge_pixels WINDOW COLOUR: how many pixels on the edges of WINDOW's picture have COLOUR.
edge_pixels() {
    xwd -id "$1" -silent | convert xwd:- -depth 8 txt:- | awk -v colour="$2" 'NR == 1 {
        split($5, size, ","); width = size[1]; height = size[2] }
        NR > 1 { split($1, at, /[,:]/) }
        NR > 1 && $3 == colour && (at[1] == 0 || at[2] == 0 || at[1] == width - 1 ||
            at[2] == height - 1) { n++ }
        END { print n + 0 }'
}

# /p HWND draws over the whole of a window of another program, nothing outside that window
# changes, it keeps running while that window is there, and it ends with exit code 0 when that
# window goes. Its frames fill the parent when they show in an X window of the parent's size and
# none of the parent's own colour is left on their edges.
preview_in_parent() {
    local hwnd id x y width height background gl left
    start_parent
    hwnd=$(poll_while "$PARENT" "$SLOW" head -n 1 "$WORK/parent.out") ||
        fail "the parent gave no handle: $(waited "$PARENT" "$SLOW")" || return
    id=$(poll_while "$PARENT" "$SLOW" named PreviewParent) ||
        fail "the parent never showed: $(waited "$PARENT" "$SLOW")" || return
    read -r x y width height < <(geometry "$id")
    background=$(colour_at "$id" $((width / 2)) $((height / 2)))
    [[ $background == '#'* ]] || fail "no colour for the parent: $background" || return
    start /p "$hwnd"
    gl=$(poll_while "$SAVER" "$SLOW" framed "$width" "$height") ||
        fail "/p drew in no X window of the parent's size, ${width}x$height:" \
            "$(waited "$SAVER" "$SLOW")" || return
    frames 3 "$SLOW" "$SAVER" "$gl" "$x" "$y" "$width" "$height" || fail "/p does not draw" ||
        return
    left=$(edge_pixels "$gl" "$background")
    ((left == 0)) || fail "/p left $left pixels of the parent's $background on the edges" \
        "of its ${width}x$height picture" || return
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
