# shellcheck shell=bash
# The lane "x86_64 under a second Wine": the x86_64 tests once more under another major version of
# Wine than the machine's, Debian's Wine of another release from a private root in the cache, with
# a prefix and a server of their own. Nothing of the machine changes, and the other lanes keep the
# machine's Wine. On Debian 12 that is trixie's Wine 10, on Debian 13 bookworm's Wine 8.

# Wine and Mesa for amd64, the X libraries that Wine loads when present and fonts-wine for the
# dialogs, as for the ARM64 lane.
SECOND_WINE_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)
# Libraries that libwine needs only for parts that no test loads (sound, media, cameras, USB,
# smart cards, packet capture, ISDN, OpenCL, Wayland, GStreamer), as patterns of package names
# that hold in every release: held as installed, so that neither they nor what they need are
# fetched (72 packages instead of 226 for trixie's Wine). Wine loads such a part's Unix library
# only when a program uses the part.
SECOND_WINE_LEFT_OUT=('libavcodec[0-9]+' 'libavformat[0-9]+' 'libavutil[0-9]+'
    'libgstreamer1\.0-0' 'libgstreamer-plugins-base1\.0-0' 'libglib2\.0-0(t64)?'
    'libgphoto2-6(t64)?' 'libgphoto2-port12(t64)?' 'libpulse0' 'libasound2(t64)?'
    'libpcap0\.8(t64)?' 'libpcsclite1' 'libcapi20-3(t64)?' 'libusb-1\.0-0' 'ocl-icd-libopencl1'
    'libwayland-client0' 'libwayland-egl1' 'libxkbcommon0' 'libxkbregistry0')
# The lane's key in HOW_RUN.
SECOND_WINE_LANE=x86_64-second-wine

# machine_wine_version: the version of the machine's Wine package, as Debian gives it.
machine_wine_version() {
    dpkg-query -W -f '${Version}' wine64 2>/dev/null
}

# second_wine_request RELEASE: the cached_root request of the root that holds RELEASE's Wine.
second_wine_request() {
    local uri
    uri=$(archive_uri "$1") || return 1
    echo "amd64"
    echo "$uri $1 main"
    printf '%s\n' "${SECOND_WINE_PACKAGES[@]}" "${SECOND_WINE_LEFT_OUT[@]/#/-}"
}

# wine_of_release RELEASE: the version of RELEASE's wine64 for amd64, from a private apt's index;
# fails, saying why, when the archive has no index for RELEASE or no Wine in it.
wine_of_release() {
    local apt="$CACHE/apt/amd64-$1" uri version
    uri=$(archive_uri "$1") || return 1
    cache_locked private_apt "$apt" amd64 "$uri $1 main" || return 1
    version=$(APT_CONFIG="$apt/apt.conf" apt-cache show --no-all-versions wine64 2>/dev/null |
        sed -n 's/^Version: //p')
    [[ -n $version ]] || { echo "Debian $1 has no wine64 for amd64" >&2; return 1; }
    echo "$version"
}

# second_wine_release: the release whose Wine the lane runs: MOSKEL_SECOND_WINE_RELEASE, or else
# the next release when the archive holds a Wine of another major version for it, or else the
# previous release, whose Wine is sure to be there. A release whose root is in the cache is taken
# without asking the archive again.
second_wine_release() {
    local release next previous version mine
    local -a request
    if [[ -n ${MOSKEL_SECOND_WINE_RELEASE:-} ]]; then
        echo "$MOSKEL_SECOND_WINE_RELEASE"
        return 0
    fi
    next=$(next_release 2>/dev/null)
    previous=$(previous_release) || return 1
    for release in $next $previous; do
        mapfile -t request < <(second_wine_request "$release")
        ((${#request[@]} > 0)) && cached_root_exists wine-root "${request[@]}" &&
            echo "$release" && return 0
    done
    mine=$(machine_wine_version)
    for release in $next $previous; do
        version=$(wine_of_release "$release") || continue
        [[ ${version%%.*} != "${mine%%.*}" ]] && echo "$release" && return 0
        echo "Debian $release has Wine $version, the machine's major version" >&2
    done
    echo "neither Debian ${next:+$next nor }$previous has a Wine for amd64 other than the" \
        "machine's $mine" >&2
    return 1
}

# fetch_second_wine_root RELEASE: prints the cache's folder of the root, fetching it first unless
# it is there.
fetch_second_wine_root() {
    local root request
    mapfile -t request < <(second_wine_request "$1")
    ((${#request[@]} > 0)) && root=$(cached_root wine-root "${request[@]}") &&
        cache_locked install_zlib_dlls "$root" || return 1
    echo "$root"
}

# install_zlib_dlls ROOT: what libwine's install script does and unpacking does not, where the
# root's Wine takes zlib from libz-mingw-w64 (trixie's): its zlib1.dll, which user32.dll imports,
# is that MinGW build marked as a Wine builtin in the bytes after the DOS header.
install_zlib_dlls() {
    local root=$1 mingw wine source target
    for mingw in i686 x86_64; do
        wine=${mingw/i686/i386}
        source="$root/usr/$mingw-w64-mingw32/lib/zlib1.dll"
        target="$root/usr/lib/x86_64-linux-gnu/wine/$wine-windows/zlib1.dll"
        [[ -f $source && ! -f $target ]] || continue
        if ! { head -c 64 "$source" &&
            printf 'Wine builtin DLL\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' &&
            tail -c +97 "$source"; } >"$target.partial"; then
            echo "could not make $target" >&2
            return 1
        fi
        mv "$target.partial" "$target"
    done
}

# check_second_wine ROOT: fails, naming both, when the root's Wine is of the machine's major
# version, so that the lane would add nothing.
check_second_wine() {
    local version mine
    version=$(sed -n 's/^wine64=//p' "$1/.closure")
    mine=$(machine_wine_version)
    [[ -n $version && ${version%%.*} != "${mine%%.*}" ]] && return 0
    echo "the root holds Wine ${version:-(none)}, of the same major version as the machine's $mine" >&2
    return 1
}

# make_second_wine DIR ROOT: makes DIR the folder that the root's Wine runs from
# (make_root_wine); the root's programs need its own C library, so they run through its loader.
make_second_wine() {
    local dir=$1 root=$2
    make_root_wine "$dir" "$root" x86_64-linux-gnu ld-linux-x86-64.so.2 "" \
        WINELOADER="$dir/lib/wine/wine64" LIBGL_DRIVERS_PATH="$root/usr/lib/x86_64-linux-gnu/dri"
}

# start_second_wine_lane: makes the lane ready (the root, the folder its Wine runs from in
# build/wine2-wine and a prefix of its own in build/wine2-RELEASE), exports MOSKEL_WINE2 (the
# loader), MOSKEL_WINE2_SERVER and MOSKEL_WINE2_PREFIX, which in_second_wine_lane uses, and starts
# the lane's Wine server, which stop_rig stops. Says which Wine it runs and sets
# HOW_RUN[$SECOND_WINE_LANE]; when the lane cannot be made, says why and fails.
start_second_wine_lane() {
    local wine="$BUILD/wine2-wine" release root version
    if ! release=$(second_wine_release) || ! root=$(fetch_second_wine_root "$release") ||
        ! check_second_wine "$root" || ! make_second_wine "$wine" "$root"; then
        echo "x86_64 programs cannot run under a second Wine: the lane could not be made" >&2
        return 1
    fi
    export MOSKEL_WINE2="$wine/lib/wine/wine64" MOSKEL_WINE2_SERVER="$wine/lib/wine/wineserver"
    export MOSKEL_WINE2_PREFIX="$BUILD/wine2-$release"
    if ! in_second_wine_lane ensure_prefix "$MOSKEL_WINE2" "$MOSKEL_WINE2_SERVER"; then
        echo "x86_64 programs cannot run under the second Wine: wineboot made no prefix" >&2
        return 1
    fi
    in_second_wine_lane start_wineserver "$MOSKEL_WINE2" "$MOSKEL_WINE2_SERVER"
    RIG_STOPS+=(stop_second_wine_lane)
    version=$(sed -n 's/^wine64=//p' "$root/.closure")
    HOW_RUN["$SECOND_WINE_LANE"]="under Wine $version of Debian $release"
    echo "x86_64 programs run ${HOW_RUN[$SECOND_WINE_LANE]} too"
}

# in_second_wine_lane COMMAND...: runs COMMAND with tools/wine, Wine's own variables and the prefix
# pointing at the lane's Wine; the rest of the rig keeps the machine's.
in_second_wine_lane() {
    MOSKEL_WINE64=$MOSKEL_WINE2 WINELOADER=$MOSKEL_WINE2 WINESERVER=$MOSKEL_WINE2_SERVER \
        WINEPREFIX=$MOSKEL_WINE2_PREFIX "$@"
}

stop_second_wine_lane() {
    in_second_wine_lane stop_wineserver "$MOSKEL_WINE2_SERVER"
}
