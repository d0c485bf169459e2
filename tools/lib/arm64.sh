# shellcheck shell=bash
# The lane for ARM64 programs: Debian's Wine and Mesa for arm64 in a private root, run under
# qemu-aarch64 with a prefix of their own.

# Debian's Wine and Mesa for arm64, with every library they need: the platform that ARM64 Windows
# programs run on. The X extension libraries are ones Wine only recommends and loads when present;
# the other lanes have them too. fonts-wine gives the dialogs their fonts.
ARM64_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)

# The root's Wine started under qemu-aarch64 through the root's own dynamic loader with the root's
# library folders first, so that nothing of the machine's file system is hidden: qemu's -L would
# map "/" to the root, and Wine would then find no drive for any path outside it
# (GetModuleFileName gives "unix\work\..."). Wine takes its own folder from /proc/self/exe, which
# under qemu names the program qemu loaded, so a copy of the dynamic loader stands beside wine64.
# Wine starts children and the server through <its folder>/wine64 and <its folder>/wineserver:
# both are scripts that start the real programs the same way. The server must be the root's, as
# Debian's x86-64 one serves no ARM64 clients. Mesa's loader looks for its drivers in a fixed
# folder of the machine, so LIBGL_DRIVERS_PATH names the root's.
# A CPU model without branch-target identification: with qemu's default, later Wine builds for
# arm64 fault in a loop in ntdll.

# arm64_wrapper ROOT QEMU SCRIPT PROGRAM [VARIABLE=VALUE ...]: writes SCRIPT, which runs PROGRAM
# (both in the root's Wine folder) with the given environment, under the name SCRIPT.
arm64_wrapper() {
    local root=$1 qemu=$2 script=$3 program=$4 setting settings=""
    local dir="$root/usr/lib/wine"
    local libraries="$root/lib/aarch64-linux-gnu:$root/usr/lib/aarch64-linux-gnu"
    shift 4
    for setting in "$@"; do
        settings+="${setting%%=*}=$(printf '%q' "${setting#*=}") "
    done
    printf '#!/bin/sh\n%sexec %q -cpu neoverse-n1 %q --library-path %q --argv0 %q %q "$@"\n' \
        "$settings" "$qemu" "$dir/ld-linux-aarch64.so.1" "$libraries" "$dir/$script" \
        "$dir/$program" >"$dir/$script"
    chmod +x "$dir/$script"
}

# make_arm64_wine ROOT QEMU: makes the root's wine64 and wineserver the wrappers that run them.
make_arm64_wine() {
    local root=$1 qemu=$2 dir="$1/usr/lib/wine"
    [[ -f $dir/wine64.real ]] || mv "$dir/wine64" "$dir/wine64.real" || return 1
    cp "$root/lib/aarch64-linux-gnu/ld-linux-aarch64.so.1" "$dir/" || return 1
    arm64_wrapper "$root" "$qemu" wineserver wineserver64
    arm64_wrapper "$root" "$qemu" wine64 wine64.real WINELOADERNOEXEC=1 \
        WINESERVER="$dir/wineserver" LIBGL_DRIVERS_PATH="$root/usr/lib/aarch64-linux-gnu/dri"
}

# start_arm64_lane: makes the lane ready (qemu-aarch64, the root in build/arm64-root, its Wine and
# a prefix of its own in build/wine-aarch64), exports MOSKEL_WINEARM64 (the loader),
# MOSKEL_WINEARM64_SERVER and MOSKEL_WINEARM64_PREFIX, which tools/wine uses for ARM64 programs, and
# starts the lane's Wine server, which stop_rig stops. Says which Wine it runs; when the lane cannot
# be made, says why and fails.
start_arm64_lane() {
    local root="$BUILD/arm64-root" qemu base source
    base=$(base_release)
    if ! qemu=$(fetch_qemu) || ! source="$(archive_uri "$base") $base main" ||
        ! fetch_root "$root" "$BUILD/arm64-apt" arm64 "$source" "${ARM64_PACKAGES[@]}" ||
        ! make_arm64_wine "$root" "$qemu/usr/bin/qemu-aarch64"; then
        echo "ARM64 programs cannot run: the lane could not be made" >&2
        return 1
    fi
    export MOSKEL_WINEARM64="$root/usr/lib/wine/wine64"
    export MOSKEL_WINEARM64_SERVER="$root/usr/lib/wine/wineserver"
    export MOSKEL_WINEARM64_PREFIX="$BUILD/wine-aarch64"
    if ! WINEPREFIX=$MOSKEL_WINEARM64_PREFIX ensure_prefix "$MOSKEL_WINEARM64" \
        "$MOSKEL_WINEARM64_SERVER"; then
        echo "ARM64 programs cannot run: wineboot under qemu-aarch64 made no prefix" >&2
        return 1
    fi
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX start_wineserver "$MOSKEL_WINEARM64" "$MOSKEL_WINEARM64_SERVER"
    RIG_STOPS+=(stop_arm64_lane)
    echo "ARM64 programs run under qemu-aarch64: $(sed -n 's/^wine64=//p' "$root/.closure")" \
        "(Debian's Wine for arm64)"
}

stop_arm64_lane() {
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX stop_wineserver "$MOSKEL_WINEARM64_SERVER"
}
