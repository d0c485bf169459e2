# shellcheck shell=bash
# The one way the rig and the tests see a saver draw from outside: what X shows, looked at again and
# again. Sourced by tools/run, tests/e2e/mouse_travel.sh and tests/arm64/drive.sh, with DISPLAY set.

# screen_look [WINDOW X Y WIDTH HEIGHT]: a fingerprint of what the screen (or WINDOW) shows, and on
# a second line one of what the screen shows outside the rectangle.
screen_look() {
    local shot
    shot=$(mktemp) || return 1
    xwd -root -silent >"$shot"
    if (($# == 0)); then
        md5sum <"$shot" && echo "nothing outside"
    else
        xwd -id "$1" -silent | md5sum
        convert "xwd:$shot" -fill black \
            -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))" rgb:- | md5sum
    fi
    rm -f "$shot"
}

# frames N LIMIT PID [WINDOW X Y WIDTH HEIGHT]: waits until the picture changed N times while PID
# runs, within LIMIT seconds, and fails at once, saying so, if the screen outside the rectangle
# changes. A saver draws a frame only when its queue is empty, so two new frames after an input
# show that it was handled.
frames() {
    local wanted=$1 left=$1 limit=$2 end=$((SECONDS + $2)) pid=$3 first last now
    shift 3
    first=$(screen_look "$@")
    last=$first
    while ((left > 0 && SECONDS < end)) && kill -0 "$pid" 2>/dev/null; do
        sleep 0.05
        now=$(screen_look "$@")
        if [[ ${now#*$'\n'} != "${first#*$'\n'}" ]]; then
            echo "the screen changed outside the rectangle" >&2
            return 1
        fi
        [[ $now != "$last" ]] && left=$((left - 1)) && last=$now
    done
    ((left == 0)) && return 0
    echo "$left of $wanted frames missing: $(kill -0 "$pid" 2>/dev/null &&
        echo "nothing new within $limit s" || echo "the program ended")" >&2
    return 1
}
