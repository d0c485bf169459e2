#!/usr/bin/env bash
# Builds the command-line fuzz target natively (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time. Exits non-zero on any finding.
#   tests/fuzz/run.sh OUTPUT_FOLDER [SECONDS]      (default: MOSKEL_FUZZ_SECONDS, else 60)
# The seeds in tests/fuzz/corpus stay as they are; what the run learns goes to OUTPUT_FOLDER/corpus,
# and an input that breaks the target to OUTPUT_FOLDER/crash-*.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:?usage: tests/fuzz/run.sh OUTPUT_FOLDER [SECONDS]}
SECONDS_TO_RUN=${2:-${MOSKEL_FUZZ_SECONDS:-60}}
# libFuzzer takes 0 for no limit at all.
[[ $SECONDS_TO_RUN =~ ^[1-9][0-9]*$ ]] ||
    { echo "fuzzing takes a whole number of seconds, 1 or more" >&2; exit 2; }
mkdir -p "$OUT/corpus"
target="$OUT/command_line_fuzz"

clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror -I"$ROOT" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "$ROOT/tests/fuzz/command_line_fuzz.cpp" "$ROOT/host/command_line.cpp" -o "$target" ||
    exit 1

log="$OUT/fuzz.log"
"$target" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$OUT/" "$OUT/corpus" "$ROOT/tests/fuzz/corpus" >"$log" 2>&1
status=$?
runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
seconds=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
if ((status != 0)); then
    grep -E '^(==[0-9]+==ERROR|broken:|SUMMARY|artifact_prefix|Test unit written)' "$log" >&2
    echo "Fuzzing the command line found a fault (see $log)" >&2
    exit 1
fi
echo "Fuzzed the command line for $SECONDS_TO_RUN s: ${runs:-?} runs (${seconds:-?} per second)," \
    "no finding"
