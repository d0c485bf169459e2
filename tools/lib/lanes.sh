# shellcheck shell=bash
# The lanes of tools/test. A lane is one ctest run of one build tree in one way of running its
# programs, judged by ctest's exit status and counted from its JUnit file. What a lane found goes to
# build/lanes/NAME/run/: title (what the last line calls it), ctest.log, junit.xml, seconds, and
# status, ctest's exit status or "cannot run: REASON", written last, so that a lane that died
# leaves none. build/lanes/expected lists the lanes a run began, build/lanes/phases the seconds of
# the other phases. Sourced by tools/test after tools/lib.sh.

LANES="$BUILD/lanes"

# selects_tests ARGUMENT...: succeeds when the arguments for ctest choose tests (by name, label or
# number), so that the run is a part of a full one.
selects_tests() {
    local argument
    for argument in "$@"; do
        case $argument in
        -R | -E | -L | -LE | -I | --tests-regex* | --exclude-regex* | --label-regex* | \
            --label-exclude* | --tests-information*) return 0 ;;
        esac
    done
    return 1
}

# tests_chosen FOLDER [ctest argument ...]: how many tests of FOLDER those arguments choose.
tests_chosen() {
    local folder=$1
    shift
    ctest --test-dir "$folder" -N "$@" 2>/dev/null | sed -n 's/^Total Tests: //p'
}

# timed NAME COMMAND...: runs COMMAND in this shell and notes how many seconds it took.
timed() {
    local name=$1 start=$SECONDS status
    shift
    "$@"
    status=$?
    echo "$name $((SECONDS - start))" >>"$LANES/phases"
    return $status
}

# begin_lane NAME TITLE: the run expects NAME to report; what an earlier run left of it goes.
begin_lane() {
    rm -rf "$LANES/$1/run"
    mkdir -p "$LANES/$1/run"
    echo "$2" >"$LANES/$1/run/title"
    echo "$1" >>"$LANES/expected"
}

# run_lane NAME FOLDER [ctest argument ...]: the lane's ctest run, its output shown as it comes.
run_lane() {
    local run="$LANES/$1/run" folder=$2 start=$SECONDS status
    shift 2
    echo "== $(<"$run/title")"
    ctest --test-dir "$folder" --output-on-failure --no-tests=error \
        --output-junit "$run/junit.xml" "$@" 2>&1 | tee "$run/ctest.log"
    status=${PIPESTATUS[0]}
    echo $((SECONDS - start)) >"$run/seconds"
    echo "$status" >"$run/status"
}

# lane_cannot_run NAME REASON: a lane that could not start reports that, and fails.
lane_cannot_run() {
    echo "$(<"$LANES/$1/run/title") could not run: $2" >&2
    echo "cannot run: $2" >"$LANES/$1/run/status"
}

# junit_counts FILE: "TESTS FAILURES SKIPPED DISABLED" of ctest's JUnit file, whose testsuite
# element puts each attribute on a line of its own.
junit_counts() {
    local suite attribute value counts=""
    suite=$(tr '\n\t' '  ' 2>/dev/null <"$1" | grep -o -m 1 '<testsuite [^>]*>')
    for attribute in tests failures skipped disabled; do
        value=$(grep -o " $attribute=\"[0-9]*\"" <<<"$suite" | tr -dc 0-9)
        counts+="${value:-0} "
    done
    echo "$counts"
}

# report SECONDS: the problems, the seconds per phase (the whole run took SECONDS) and the last
# line, which names every lane the run expected, with the counts of all; fails when a test failed
# or a lane failed or did not report.
report() {
    local name run title status tests failures skipped disabled phases
    local passed=0 failed=0 skipped_all=0
    local -a titles=() problems=()
    while read -r name; do
        run="$LANES/$name/run"
        title=$(<"$run/title")
        titles+=("$title")
        if [[ ! -f $run/status ]]; then
            problems+=("$title did not report")
            titles[-1]+=" (did not report)"
            failed=$((failed + 1))
            continue
        fi
        status=$(<"$run/status")
        if [[ $status == cannot* ]]; then
            problems+=("$title could not run: ${status#cannot run: }")
            failed=$((failed + 1))
            continue
        fi
        read -r tests failures skipped disabled < <(junit_counts "$run/junit.xml")
        passed=$((passed + tests - failures - skipped - disabled))
        failed=$((failed + failures))
        skipped_all=$((skipped_all + skipped + disabled))
        echo "lane $name $(<"$run/seconds")" >>"$LANES/phases"
        if ((status != 0 && failures == 0)); then
            problems+=("$title: ctest exited with $status (see $run/ctest.log)")
            failed=$((failed + 1))
        fi
    done <"$LANES/expected"
    echo "whole run $1" >>"$LANES/phases"
    echo
    ((${#problems[@]} > 0)) && printf '%s\n' "${problems[@]}" >&2
    phases=$(awk '{ n = $NF; $NF = ""; sub(/ $/, ""); printf "%s%s %d s", sep, $0, n; sep = ", " }' \
        "$LANES/phases")
    echo "Seconds per phase: $phases"
    echo "Tested $(printf '%s; ' "${titles[@]}" | sed 's/; $//'): $passed passed, $failed failed," \
        "$skipped_all skipped"
    ((failed == 0 && ${#titles[@]} > 0))
}
