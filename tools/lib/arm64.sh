# shellcheck shell=bash
# The lane for ARM64 programs: Debian's Wine and Mesa for arm64 in a private root (a root lane,
# roots.sh), run under qemu-aarch64.

# The Wine for arm64 versions that the lane was checked with (bookworm's and trixie's): another may
# start and still behave otherwise, so the lane refuses it rather than report what it would do as
# the saver's faults.
ARM64_CHECKED_WINE=("8.0~repack-4" "10.0~repack-6")

# The Debian release whose Wine for arm64 the lane runs: the base release's, unless
# MOSKEL_ARM64_RELEASE names another (say trixie on a Debian 12 machine, to try Wine 10 there).
arm64_release() {
    if [[ -n ${MOSKEL_ARM64_RELEASE:-} ]]; then echo "$MOSKEL_ARM64_RELEASE"; else base_release; fi
}

# check_arm64_wine ROOT: fails, naming it, when the root's Wine is not one the lane was checked
# with.
check_arm64_wine() {
    local version checked
    version=$(root_wine_version "$1")
    for checked in "${ARM64_CHECKED_WINE[@]}"; do
        [[ $version == "$checked" ]] && return 0
    done
    echo "the root holds Wine ${version:-(none)} for arm64; the lane was checked with" \
        "${ARM64_CHECKED_WINE[*]} only (ARM64_CHECKED_WINE in tools/lib/arm64.sh)" >&2
    return 1
}

# start_arm64_lane: makes the lane "aarch64" ready (start_root_lane). Debian's Wine and Mesa for
# arm64 with every library they need; the X extension libraries are ones Wine only recommends and
# loads when present, fonts-wine gives the dialogs their fonts. The root's Wine runs under
# qemu-aarch64 through the root's own dynamic loader rather than with qemu's -L: that would map "/"
# to the root, and Wine would then find no drive for any path outside it. The server must be the
# root's, as the machine's x86-64 one serves no ARM64 clients. A CPU model without branch-target
# identification: with qemu's default, later Wine builds for arm64 fault in a loop in ntdll.
start_arm64_lane() {
    local qemu
    qemu=$(fetch_qemu) || { echo "ARM64 programs cannot run: no qemu-aarch64" >&2; return 1; }
    # shellcheck disable=SC2034 # start_root_lane reads it by its name
    local -A arm64=([arch]=arm64 [release]=$(arm64_release) [triplet]=aarch64-linux-gnu
        [loader]=ld-linux-aarch64.so.1 [complete]="" [check]=check_arm64_wine
        [runner]="$(printf '%q -cpu neoverse-n1' "$qemu/usr/bin/qemu-aarch64")"
        [packages]="wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri libxcomposite1
            libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1"
        [settings]="WINELOADERNOEXEC=1 LIBGL_DRIVERS_PATH=@ROOT@/usr/lib/aarch64-linux-gnu/dri")
    start_root_lane aarch64 arm64
}
