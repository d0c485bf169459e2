#!/usr/bin/env bash
# Runs one function of the rig (tools/lib.sh) with its arguments, in the build folder that
# tools/test uses (MOSKEL_BUILD), which holds the lock already: tests/rig/rig_function.sh NAME ARG...
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${MOSKEL_BUILD:-$ROOT/build}
source "$ROOT/tools/lib.sh"
"$@"
