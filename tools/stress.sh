# shellcheck shell=bash
# Shared by tools/storm and tools/soak: runs one of the programs that stress a running saver (built
# from tests/faults) on each architecture asked for. Sourced after tools/lib.sh, not run.
# It sets up the build, the X display and the Wine server as tools/test does, on a private display.

# run_stress PROGRAM [--arch i686|x86_64] [ARGUMENT ...]: fails when any architecture shows a fault.
run_stress() {
    local program=$1 arches=$X86_ARCHES arch failed=0 why
    shift
    if [[ ${1:-} == --arch ]]; then
        arches=${2:-}
        shift 2 || set --
    fi
    prepare_rig || return 1
    for arch in $arches; do
        build_arch "$arch" || return 1
    done
    for arch in $arches; do
        if [[ $arch == i686 ]] && ! why=$(i686_runs 2>&1); then
            echo "$program: i686 cannot run: $why" >&2
            failed=1
            continue
        fi
        "$MOSKEL_WINE" "$BUILD/$arch/$program.exe" "$@" </dev/null 2>&1 | sed -u 's/\r$//'
        ((PIPESTATUS[0] == 0)) || failed=1
    done
    return $failed
}
