# shellcheck shell=bash
# The lane "wine2": the x86_64 tests once more under another major version of Wine than the
# machine's, Debian's Wine of another release in a private root (a root lane, roots.sh). Nothing of
# the machine changes, and the other lanes keep the machine's Wine. On Debian 12 that is trixie's
# Wine 10, on Debian 13 bookworm's Wine 8.

# Wine and Mesa for amd64, the X libraries that Wine loads when present and fonts-wine for the
# dialogs, as for the ARM64 lane; then, as patterns of package names that hold in every release,
# libraries that libwine needs only for parts that no test loads (media, sound, cameras, packet
# capture, smart cards, ISDN, USB, OpenCL, Wayland), held as installed so that neither they nor what
# they need are fetched (72 packages instead of 226 for trixie's Wine). Wine loads such a part's
# Unix library only when a program uses the part.
SECOND_WINE_PACKAGES="wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri libxcomposite1
    libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
    -libavcodec[0-9]+ -libavformat[0-9]+ -libavutil[0-9]+ -libgstreamer1\.0-0
    -libgstreamer-plugins-base1\.0-0 -libglib2\.0-0(t64)? -libgphoto2-6(t64)?
    -libgphoto2-port12(t64)? -libpulse0 -libasound2(t64)? -libpcap0\.8(t64)? -libpcsclite1
    -libcapi20-3(t64)? -libusb-1\.0-0 -ocl-icd-libopencl1 -libwayland-client0 -libwayland-egl1
    -libxkbcommon0 -libxkbregistry0"

# other_major VERSION: succeeds when VERSION of Wine is of another major version than the
# machine's.
other_major() {
    local mine
    mine=$(machine_wine_version)
    [[ -n $1 && ${1%%.*} != "${mine%%.*}" ]]
}

# wine_of_release RELEASE: the version of RELEASE's wine64 for amd64, from a private apt's index;
# fails, saying why, when the archive has no index for RELEASE or no Wine in it.
wine_of_release() {
    local apt="$CACHE/apt/amd64-$1" uri version
    uri=$(archive_uri "$1") || return 1
    cache_locked private_apt "$apt" amd64 "$uri $1 main" || return 1
    version=$(index_version "$apt" wine64)
    [[ -n $version ]] || { echo "Debian $1 has no wine64 for amd64" >&2; return 1; }
    echo "$version"
}

# second_wine_release: the release whose Wine the lane runs: MOSKEL_SECOND_WINE_RELEASE, or else
# the next release when the archive holds a Wine of another major version for it, or else the
# previous release, whose Wine is sure to be there. A release whose root is in the cache already is
# taken without asking the archive.
second_wine_release() {
    local release next previous version packages
    [[ -n ${MOSKEL_SECOND_WINE_RELEASE:-} ]] && echo "$MOSKEL_SECOND_WINE_RELEASE" && return 0
    next=$(next_release 2>/dev/null)
    previous=$(previous_release) || return 1
    read -r -d '' -a packages <<<"$SECOND_WINE_PACKAGES"
    for release in $next $previous; do
        cached_root_exists amd64-root amd64 "$(archive_uri "$release") $release main" \
            "${packages[@]}" && echo "$release" && return 0
    done
    for release in $next $previous; do
        version=$(wine_of_release "$release") || continue
        other_major "$version" && echo "$release" && return 0
        echo "Debian $release has Wine $version, the machine's major version" >&2
    done
    echo "neither Debian ${next:+$next nor }$previous has a Wine for amd64 other than the" \
        "machine's $(machine_wine_version)" >&2
    return 1
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
    local version
    version=$(root_wine_version "$1")
    other_major "$version" && return 0
    echo "the root holds Wine ${version:-(none)}, of the same major version as the machine's" \
        "$(machine_wine_version)" >&2
    return 1
}

# start_second_wine_lane: makes the lane "wine2" ready (start_root_lane). The root's programs need
# its own C library, so they run through its dynamic loader.
start_second_wine_lane() {
    local release
    release=$(second_wine_release) || return 1
    # shellcheck disable=SC2034 # start_root_lane reads it by its name
    local -A wine2=([arch]=amd64 [release]=$release [triplet]=x86_64-linux-gnu
        [loader]=ld-linux-x86-64.so.2 [runner]="" [complete]=install_zlib_dlls
        [check]=check_second_wine [packages]=$SECOND_WINE_PACKAGES
        [settings]="WINELOADER=@WINE@/lib/wine/wine64 LIBGL_DRIVERS_PATH=@ROOT@/usr/lib/x86_64-linux-gnu/dri")
    start_root_lane wine2 wine2
}
