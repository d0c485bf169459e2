# shellcheck shell=bash
# The lane for ARM64 programs: Debian's Wine and Mesa for arm64 in a private root, run under
# qemu-aarch64 with a prefix of their own.

# Debian's Wine and Mesa for arm64, with every library they need: the platform that ARM64 Windows
# programs run on. The X extension libraries are ones Wine only recommends and loads when present;
# the other lanes have them too. fonts-wine gives the dialogs their fonts.
ARM64_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)

# The Wine for arm64 versions that the lane was checked with (bookworm's and trixie's): another may
# start and still behave otherwise, so the lane refuses it rather than report what it would do as
# the saver's faults.
ARM64_CHECKED_WINE=("8.0~repack-4" "10.0~repack-6")

# The Debian release whose Wine for arm64 the lane runs: the base release's, unless
# MOSKEL_ARM64_RELEASE names another (say trixie on a Debian 12 machine, to try Wine 10 there).
arm64_release() {
    if [[ -n ${MOSKEL_ARM64_RELEASE:-} ]]; then echo "$MOSKEL_ARM64_RELEASE"; else base_release; fi
}

# fetch_arm64_root: prints the cache's folder of the root for ARM64_PACKAGES from arm64_release,
# fetching it first unless it is there. The folder is named by the request (architecture, source
# and packages); .closure in it lists the packages that came of it, as name=version.
fetch_arm64_root() {
    local release
    release=$(arm64_release) || return 1
    cached_root arm64-root arm64 "$(archive_uri "$release") $release main" "${ARM64_PACKAGES[@]}"
}

# check_arm64_wine ROOT: fails, naming it, when the root's Wine is not one the lane was checked
# with.
check_arm64_wine() {
    local version checked
    version=$(sed -n 's/^wine64=//p' "$1/.closure")
    for checked in "${ARM64_CHECKED_WINE[@]}"; do
        [[ $version == "$checked" ]] && return 0
    done
    echo "the root holds Wine ${version:-(none)} for arm64; the lane was checked with" \
        "${ARM64_CHECKED_WINE[*]} only (ARM64_CHECKED_WINE in tools/lib/arm64.sh)" >&2
    return 1
}

# The root's Wine runs under qemu-aarch64 (make_root_wine), through the root's own dynamic loader
# rather than with qemu's -L: that would map "/" to the root, and Wine would then find no drive for
# any path outside it (GetModuleFileName gives "unix\work\..."). The server must be the root's, as
# Debian's x86-64 one serves no ARM64 clients. A CPU model without branch-target identification:
# with qemu's default, later Wine builds for arm64 fault in a loop in ntdll.

# make_arm64_wine DIR ROOT QEMU: makes DIR the folder that the root's Wine runs from, with
# DIR/lib/wine/wine64 and DIR/lib/wine/wineserver.
make_arm64_wine() {
    local dir=$1 root=$2 qemu=$3
    make_root_wine "$dir" "$root" aarch64-linux-gnu ld-linux-aarch64.so.1 \
        "$(printf '%q -cpu neoverse-n1' "$qemu")" WINELOADERNOEXEC=1 \
        LIBGL_DRIVERS_PATH="$root/usr/lib/aarch64-linux-gnu/dri"
}

# start_arm64_lane: makes the lane ready (qemu-aarch64, the root, the folder its Wine runs from in
# build/arm64-wine and a prefix of its own in build/wine-aarch64-RELEASE), exports MOSKEL_WINEARM64 (the
# loader), MOSKEL_WINEARM64_SERVER and MOSKEL_WINEARM64_PREFIX, which tools/wine uses for ARM64
# programs, and starts the lane's Wine server, which stop_rig stops. Says which Wine it runs and
# sets HOW_RUN[aarch64]; when the lane cannot be made, says why and fails.
start_arm64_lane() {
    local wine="$BUILD/arm64-wine" qemu root release
    release=$(arm64_release)
    if ! qemu=$(fetch_qemu) || ! root=$(fetch_arm64_root) || ! check_arm64_wine "$root" ||
        ! make_arm64_wine "$wine" "$root" "$qemu/usr/bin/qemu-aarch64"; then
        echo "ARM64 programs cannot run: the lane could not be made" >&2
        return 1
    fi
    export MOSKEL_WINEARM64="$wine/lib/wine/wine64"
    export MOSKEL_WINEARM64_SERVER="$wine/lib/wine/wineserver"
    # A prefix for each release: Wine updates a prefix made by another version as it starts.
    export MOSKEL_WINEARM64_PREFIX="$BUILD/wine-aarch64-$release"
    if ! WINEPREFIX=$MOSKEL_WINEARM64_PREFIX ensure_prefix "$MOSKEL_WINEARM64" \
        "$MOSKEL_WINEARM64_SERVER"; then
        echo "ARM64 programs cannot run: wineboot under qemu-aarch64 made no prefix" >&2
        return 1
    fi
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX start_wineserver "$MOSKEL_WINEARM64" \
        "$MOSKEL_WINEARM64_SERVER"
    RIG_STOPS+=(stop_arm64_lane)
    HOW_RUN["aarch64"]="under Wine $(sed -n 's/^wine64=//p' "$root/.closure") of Debian $release"
    HOW_RUN["aarch64"]+=" in qemu-aarch64"
    echo "ARM64 programs run ${HOW_RUN["aarch64"]}"
}

stop_arm64_lane() {
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX stop_wineserver "$MOSKEL_WINEARM64_SERVER"
}
