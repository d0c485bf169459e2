# shellcheck shell=bash
# The lane for ARM64 programs: Debian's Wine and Mesa for arm64 in a private root, run under
# qemu-aarch64 with a prefix of their own.

# Debian's Wine and Mesa for arm64, with every library they need: the platform that ARM64 Windows
# programs run on. The X extension libraries are ones Wine only recommends and loads when present;
# the other lanes have them too. fonts-wine gives the dialogs their fonts.
ARM64_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)

# The Wine for arm64 versions that the lane was checked with: another may start and still behave
# otherwise, so the lane refuses it rather than report what it would do as the saver's faults.
ARM64_CHECKED_WINE=("8.0~repack-4")

# fetch_arm64_root: prints the cache's folder of the root for ARM64_PACKAGES from the base release,
# fetching it first unless it is there. The folder is named by the request (architecture, source
# and packages); .closure in it lists the packages that came of it, as name=version.
fetch_arm64_root() {
    local base source root
    base=$(base_release)
    source="$(archive_uri "$base") $base main" || return 1
    root="$CACHE/arm64-root/$(echo "arm64 $source ${ARM64_PACKAGES[*]}" | sha256sum | cut -c1-16)"
    cache_locked fetch_root "$root" "$CACHE/apt/arm64-$base" arm64 "$source" \
        "${ARM64_PACKAGES[@]}" || return 1
    echo "$root"
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

# The root's Wine runs under qemu-aarch64 through the root's own dynamic loader with the root's
# library folders first, so that nothing of the machine's file system is hidden: qemu's -L would
# map "/" to the root, and Wine would then find no drive for any path outside it
# (GetModuleFileName gives "unix\work\..."). Wine takes its own folder from /proc/self/exe, which
# under qemu names the program qemu loaded, and finds its libraries and data from there: so a copy
# of the dynamic loader stands in a folder of Wine's layout in the build folder, whose library and
# data folders lead into the root, and the cached root stays as its packages made it. Wine starts
# children and the server through <its folder>/wine64 and <its folder>/wineserver: both are
# scripts that start the root's programs the same way. The server must be the root's, as Debian's
# x86-64 one serves no ARM64 clients. Mesa's loader looks for its drivers in a fixed folder of the
# machine, so LIBGL_DRIVERS_PATH names the root's.
# A CPU model without branch-target identification: with qemu's default, later Wine builds for
# arm64 fault in a loop in ntdll.

# arm64_wrapper DIR ROOT QEMU SCRIPT PROGRAM [VARIABLE=VALUE ...]: writes DIR/lib/wine/SCRIPT,
# which runs the root's PROGRAM (in its Wine folder) with the given environment, under that name.
arm64_wrapper() {
    local wine="$1/lib/wine" root=$2 qemu=$3 script=$4 program=$5 setting settings=""
    local libraries="$root/lib/aarch64-linux-gnu:$root/usr/lib/aarch64-linux-gnu"
    shift 5
    for setting in "$@"; do
        settings+="${setting%%=*}=$(printf '%q' "${setting#*=}") "
    done
    printf '#!/bin/sh\n%sexec %q -cpu neoverse-n1 %q --library-path %q --argv0 %q %q "$@"\n' \
        "$settings" "$qemu" "$wine/ld-linux-aarch64.so.1" "$libraries" "$wine/$script" \
        "$root/usr/lib/wine/$program" >"$wine/$script"
    chmod +x "$wine/$script"
}

# make_arm64_wine DIR ROOT QEMU: makes DIR the folder that the root's Wine runs from, with
# DIR/lib/wine/wine64 and DIR/lib/wine/wineserver.
make_arm64_wine() {
    local dir=$1 root=$2 qemu=$3
    rm -rf "$dir"
    mkdir -p "$dir/lib/wine" "$dir/share"
    ln -s "$root/usr/lib/aarch64-linux-gnu" "$dir/lib/aarch64-linux-gnu"
    ln -s "$root/usr/share/wine" "$dir/share/wine"
    cp "$root/lib/aarch64-linux-gnu/ld-linux-aarch64.so.1" "$dir/lib/wine/" || return 1
    arm64_wrapper "$dir" "$root" "$qemu" wineserver wineserver64
    arm64_wrapper "$dir" "$root" "$qemu" wine64 wine64 WINELOADERNOEXEC=1 \
        WINESERVER="$dir/lib/wine/wineserver" \
        LIBGL_DRIVERS_PATH="$root/usr/lib/aarch64-linux-gnu/dri"
}

# start_arm64_lane: makes the lane ready (qemu-aarch64, the root, the folder its Wine runs from in
# build/arm64-wine and a prefix of its own in build/wine-aarch64), exports MOSKEL_WINEARM64 (the
# loader), MOSKEL_WINEARM64_SERVER and MOSKEL_WINEARM64_PREFIX, which tools/wine uses for ARM64
# programs, and starts the lane's Wine server, which stop_rig stops. Says which Wine it runs; when
# the lane cannot be made, says why and fails.
start_arm64_lane() {
    local wine="$BUILD/arm64-wine" qemu root
    if ! qemu=$(fetch_qemu) || ! root=$(fetch_arm64_root) || ! check_arm64_wine "$root" ||
        ! make_arm64_wine "$wine" "$root" "$qemu/usr/bin/qemu-aarch64"; then
        echo "ARM64 programs cannot run: the lane could not be made" >&2
        return 1
    fi
    export MOSKEL_WINEARM64="$wine/lib/wine/wine64"
    export MOSKEL_WINEARM64_SERVER="$wine/lib/wine/wineserver"
    export MOSKEL_WINEARM64_PREFIX="$BUILD/wine-aarch64"
    if ! WINEPREFIX=$MOSKEL_WINEARM64_PREFIX ensure_prefix "$MOSKEL_WINEARM64" \
        "$MOSKEL_WINEARM64_SERVER"; then
        echo "ARM64 programs cannot run: wineboot under qemu-aarch64 made no prefix" >&2
        return 1
    fi
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX start_wineserver "$MOSKEL_WINEARM64" \
        "$MOSKEL_WINEARM64_SERVER"
    RIG_STOPS+=(stop_arm64_lane)
    echo "ARM64 programs run under qemu-aarch64: $(sed -n 's/^wine64=//p' "$root/.closure")" \
        "(Debian's Wine for arm64)"
}

stop_arm64_lane() {
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX stop_wineserver "$MOSKEL_WINEARM64_SERVER"
}
