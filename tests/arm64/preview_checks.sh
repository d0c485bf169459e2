# shellcheck shell=bash
# The check of the ARM64 lane that puts the saver in another program's window, with what it needs
# to find and judge the frames there; run like those of checks.sh, with the helpers of drive.sh.

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
