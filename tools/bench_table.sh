# shellcheck shell=bash
# The table that tools/bench prints, from the figures it gathered: FIG[ARCH.KEY], for the
# architectures in MEASURED, with RUNS, SETTLE_MS and PHASES as tools/bench sets them. Sourced by
# tools/bench, not run.

# Cells. show ARCH FORMAT EXPRESSION KEY...: the awk EXPRESSION of the keys' figures, named a, b, c
# and d in turn; "-" where a figure is missing. A first-frame figure is "median min max": its
# number is the median.
show() {
    local arch=$1 format=$2 expression=$3 names=(a b c d) i=0 key
    local -a values=()
    shift 3
    for key; do
        [[ -n ${FIG[$arch.$key]:-} ]] || { echo "-"; return; }
        values+=(-v "${names[i++]}=${FIG[$arch.$key]}")
    done
    awk "${values[@]}" "BEGIN { printf \"$format\", $expression }"
}
first_frame() {
    local -a cell
    read -ra cell <<<"${FIG[$1.first_frame.$2]:-}"
    ((${#cell[@]} == 3)) && printf '%.0f (%.0f-%.0f)' "${cell[@]}" || echo "-"
}

# row LABEL CELL [ARGUMENT...]: one line of the table, CELL ARCH ARGUMENT... in each column.
row() {
    local label=$1 arch line
    shift
    line="| $label |"
    for arch in "${MEASURED[@]}"; do
        line+=" $("$1" "$arch" "${@:2}") |"
    done
    echo "$line"
}
heading() {
    local line="| **$1** |" arch
    for arch in "${MEASURED[@]}"; do line+=" |"; done
    echo "$line"
}

column_name() {
    if [[ ${HOW_RUN[$1]} == *qemu* ]]; then
        echo "i686, emulated (qemu-i386)"
    else
        echo "$1"
    fi
}

print_table() {
    local arch cpu header="| |" rule="|---|" size kind dimensions
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
    echo "Moskel benchmarks, $(date +%F): ${cpu:-unknown CPU}, $(nproc) cores," \
        "load average $(cut -d' ' -f1 /proc/loadavg) at the end; $("$MOSKEL_WINE" --version)"
    for arch in "${MEASURED[@]}"; do
        echo "GL as the $arch program sees it: ${FIG[$arch.renderer]:-?};" \
            "${FIG[$arch.version]:-?}; ${FIG[$arch.pixel_format]:-?}"
        header+=" $(column_name "$arch") |"
        rule+="--:|"
    done
    echo
    echo "$header"
    echo "$rule"
    for size in full preview; do
        kind="full screen"
        [[ $size == preview ]] && kind="preview child"
        dimensions=${FIG[${MEASURED[0]}.$size.size]:-?}
        heading "Frames per second, ${dimensions/x/ x } $kind"
        row "saver's frame (display list)" show %.0f a $size.saver
        row "(a) glClear and SwapBuffers only" show %.0f a $size.clear
        row "(b) vertex buffers, grouped by material" show %.0f a $size.buffers
        row "(c) vertex buffers, in the saver's material runs" show %.0f a $size.buffers_in_runs
        row "saver / (a)" show %.2f 'a / b' $size.saver $size.clear
        row "saver / (b)" show %.2f 'a / b' $size.saver $size.buffers
        row "saver / (c)" show %.2f 'a / b' $size.saver $size.buffers_in_runs
        row "pixels where (b) and (c) differ from the saver" show "%d, %d" "a, b" \
            $size.buffers.differing_pixels $size.buffers_in_runs.differing_pixels
    done
    heading "Start-up to the first frame on the screen, ms: median of $RUNS (min-max)"
    row "moskel.scr /s" first_frame saver
    row "minimal program" first_frame minimal
    row "moskel.scr above minimal" show %+.0f 'a - b' first_frame.saver first_frame.minimal
    row "InitScene alone" show %.1f a phase.init_scene
    row "the saver's steps with timers" first_frame phases
    for phase in "${PHASES[@]}"; do
        row "- ${phase//_/ }" show %.1f a phase.$phase
    done
    heading "Size, bytes"
    row "moskel.scr" show %d a scr_bytes
    row "resources (.rsrc)" show %d a resource_bytes
    row "model tables" show %d a model_table_bytes
    row "import table" show %d a import_bytes
    row "moskel.scr / (resources + tables + imports)" show %.1f 'a / (b + c + d)' \
        scr_bytes resource_bytes model_table_bytes import_bytes
    heading "Peak working set after $((SETTLE_MS / 1000)) s of drawing, KiB"
    row "moskel.scr /s" show %.0f 'a / 1024' peak_working_set.saver
    row "minimal program" show %.0f 'a / 1024' peak_working_set.minimal
    row "moskel.scr / minimal" show %.2f 'a / b' peak_working_set.saver peak_working_set.minimal
}
