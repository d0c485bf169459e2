# shellcheck shell=bash
# The lane "x86_64 under Wine 10": the x86_64 tests once more under the Wine of the next Debian
# release (trixie's Wine 10), from a private root in the cache, with a prefix and a server of their
# own. Nothing of the machine changes, and the other lanes keep the machine's Wine.

# Wine and Mesa for amd64, the X libraries that Wine loads when present and fonts-wine for the
# dialogs, as for the ARM64 lane.
WINE10_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)
# Libraries that libwine needs only for parts that no test loads (sound, media, cameras, USB,
# smart cards, packet capture, ISDN, OpenCL, Wayland, GStreamer): held as installed, so that
# neither they nor what they need are fetched (72 packages instead of 226). Wine loads such a
# part's Unix library only when a program uses the part.
WINE10_LEFT_OUT=(libavcodec61 libavformat61 libavutil59 libgstreamer1.0-0
    libgstreamer-plugins-base1.0-0 libglib2.0-0t64 libgphoto2-6t64 libgphoto2-port12t64 libpulse0
    libasound2t64 libpcap0.8t64 libpcsclite1 libcapi20-3t64 libusb-1.0-0 ocl-icd-libopencl1
    libwayland-client0 libwayland-egl1 libxkbcommon0 libxkbregistry0)
WINE10_MAJOR=10
# The lane's name where tools/test names what ran, and its key in HOW_RUN.
WINE10_LANE=x86_64-wine10

# fetch_wine10_root: prints the cache's folder of the root, fetching it first unless it is there.
fetch_wine10_root() {
    local release root
    release=$(next_release) || return 1
    root=$(cached_root wine10-root amd64 "$(archive_uri "$release") $release main" \
        "${WINE10_PACKAGES[@]}" "${WINE10_LEFT_OUT[@]/#/-}") &&
        cache_locked install_zlib_dlls "$root" || return 1
    echo "$root"
}

# install_zlib_dlls ROOT: what libwine's install script does and unpacking does not: Wine's
# zlib1.dll, which user32.dll imports, is the MinGW build of libz-mingw-w64 marked as a Wine
# builtin in the bytes after the DOS header.
install_zlib_dlls() {
    local root=$1 mingw wine target
    for mingw in i686 x86_64; do
        wine=${mingw/i686/i386}
        target="$root/usr/lib/x86_64-linux-gnu/wine/$wine-windows/zlib1.dll"
        [[ -f $target ]] && continue
        if ! { head -c 64 "$root/usr/$mingw-w64-mingw32/lib/zlib1.dll" &&
            printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' &&
            tail -c +97 "$root/usr/$mingw-w64-mingw32/lib/zlib1.dll"; } >"$target.partial"; then
            echo "could not make $target" >&2
            return 1
        fi
        mv "$target.partial" "$target"
    done
}

# check_wine10 ROOT: fails, naming it, when the root's Wine is not of the major version this lane
# is about.
check_wine10() {
    local version
    version=$(sed -n 's/^wine64=//p' "$1/.closure")
    [[ $version == "$WINE10_MAJOR".* ]] && return 0
    echo "the next release's root holds Wine ${version:-(none)}, not Wine $WINE10_MAJOR" >&2
    return 1
}

# make_wine10 DIR ROOT: makes DIR the folder that the root's Wine runs from (make_root_wine); the
# root's programs need a newer C library than the machine's, so they run through the root's loader.
make_wine10() {
    local dir=$1 root=$2
    make_root_wine "$dir" "$root" x86_64-linux-gnu ld-linux-x86-64.so.2 "" \
        WINELOADER="$dir/lib/wine/wine64" LIBGL_DRIVERS_PATH="$root/usr/lib/x86_64-linux-gnu/dri"
}

# start_wine10_lane: makes the lane ready (the root, the folder its Wine runs from in
# build/wine10-wine and a prefix of its own in build/wine10), exports MOSKEL_WINE10 (the loader),
# MOSKEL_WINE10_SERVER and MOSKEL_WINE10_PREFIX, which in_wine10_lane uses, and starts the lane's
# Wine server, which stop_rig stops. Says which Wine it runs and sets HOW_RUN[$WINE10_LANE]; when
# the lane cannot be made, says why and fails.
start_wine10_lane() {
    local wine="$BUILD/wine10-wine" root version
    if ! root=$(fetch_wine10_root) || ! check_wine10 "$root" || ! make_wine10 "$wine" "$root"; then
        echo "x86_64 programs cannot run under Wine $WINE10_MAJOR: the lane could not be made" >&2
        return 1
    fi
    export MOSKEL_WINE10="$wine/lib/wine/wine64" MOSKEL_WINE10_SERVER="$wine/lib/wine/wineserver"
    export MOSKEL_WINE10_PREFIX="$BUILD/wine10"
    if ! in_wine10_lane ensure_prefix "$MOSKEL_WINE10" "$MOSKEL_WINE10_SERVER"; then
        echo "x86_64 programs cannot run under Wine $WINE10_MAJOR: wineboot made no prefix" >&2
        return 1
    fi
    in_wine10_lane start_wineserver "$MOSKEL_WINE10" "$MOSKEL_WINE10_SERVER"
    RIG_STOPS+=(stop_wine10_lane)
    version=$(sed -n 's/^wine64=//p' "$root/.closure")
    HOW_RUN["$WINE10_LANE"]="under Wine $version of Debian $(next_release)"
    echo "x86_64 programs run ${HOW_RUN[$WINE10_LANE]} too"
}

# in_wine10_lane COMMAND...: runs COMMAND with tools/wine, Wine's own variables and the prefix
# pointing at the lane's Wine; the rest of the rig keeps the machine's.
in_wine10_lane() {
    MOSKEL_WINE64=$MOSKEL_WINE10 WINELOADER=$MOSKEL_WINE10 WINESERVER=$MOSKEL_WINE10_SERVER \
        WINEPREFIX=$MOSKEL_WINE10_PREFIX "$@"
}

stop_wine10_lane() {
    in_wine10_lane stop_wineserver "$MOSKEL_WINE10_SERVER"
}
