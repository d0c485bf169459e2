# shellcheck shell=bash
# Root lanes: Windows programs run under the Wine of a private root (roots.sh), beside the machine's.

# A Wine from a private root runs through the root's own dynamic loader with the root's library
# folders first. Wine takes its own folder from /proc/self/exe and starts itself, its children
# and its server as wine64 and wineserver there, whatever WINELOADER says; so a copy of the loader
# stands in a folder of Wine's layout in the build folder, with scripts of those names beside it and
# library and data folders that lead into the root, and the cached root stays as its packages made
# it. Mesa's loader looks for its drivers in a fixed folder of the machine, so the caller names the
# root's in LIBGL_DRIVERS_PATH.

# make_root_wine DIR ROOT TRIPLET LOADER RUNNER [VARIABLE=VALUE ...]: makes DIR the folder that
# the root's Wine runs from: DIR/lib/wine/wine64 and DIR/lib/wine/wineserver start the root's
# programs through its dynamic loader LOADER (in lib/TRIPLET or usr/lib/TRIPLET of the root),
# after RUNNER (an emulator's command, quoted for sh, or nothing); wine64 with the given variables.
make_root_wine() {
    local dir=$1 root=$2 triplet=$3 loader=$4 runner=$5 folder
    shift 5
    rm -rf "$dir"
    mkdir -p "$dir/lib/wine" "$dir/share"
    ln -s "$root/usr/lib/$triplet" "$dir/lib/$triplet"
    ln -s "$root/usr/share/wine" "$dir/share/wine"
    for folder in "$root/lib/$triplet" "$root/usr/lib/$triplet"; do
        [[ -e $folder/$loader ]] && cp -L "$folder/$loader" "$dir/lib/wine/" && break
    done
    [[ -f $dir/lib/wine/$loader ]] || { echo "the root has no $loader" >&2; return 1; }
    root_wine_script "$dir" "$root" "$triplet" "$loader" "$runner" wineserver wineserver64
    root_wine_script "$dir" "$root" "$triplet" "$loader" "$runner" wine64 wine64 \
        WINESERVER="$dir/lib/wine/wineserver" "$@"
}

# root_wine_script DIR ROOT TRIPLET LOADER RUNNER SCRIPT PROGRAM [VARIABLE=VALUE ...]: writes
# DIR/lib/wine/SCRIPT, which runs the root's PROGRAM (in its Wine folder) under that name.
root_wine_script() {
    local wine="$1/lib/wine" root=$2 triplet=$3 loader=$4 runner=$5 script=$6 program=$7
    local setting settings=""
    shift 7
    for setting in "$@"; do
        settings+="${setting%%=*}=$(printf '%q' "${setting#*=}") "
    done
    printf '#!/bin/sh\n%sexec %s%q --library-path %q --argv0 %q %q "$@"\n' "$settings" \
        "${runner:+$runner }" "$wine/$loader" "$root/lib/$triplet:$root/usr/lib/$triplet" \
        "$wine/$script" "$root/usr/lib/wine/$program" >"$wine/$script"
    chmod +x "$wine/$script"
}

# A root lane runs Windows programs under the Wine of such a root, with a folder of its own,
# build/lanes/NAME: wine/ (the folder the root's Wine runs from, make_root_wine) and
# prefix-RELEASE/ (a prefix for each release: Wine updates one made by another version as it
# starts). Its description is an associative array, named to start_root_lane:
#   [arch]      the root's Debian architecture; arm64 lanes serve ARM64 programs (tools/wine),
#               others take over the 64-bit loader
#   [release]   the Debian release whose Wine it runs
#   [packages]  what the root holds, separated by spaces ("-PATTERN" held as installed, fetch_root)
#   [triplet]   the root's library triplet, and [loader] the name of its dynamic loader
#   [runner]    an emulator's command that runs the loader, quoted for sh, or nothing
#   [settings]  VARIABLE=VALUE settings of the root's wine64 beyond WINESERVER, separated by
#               spaces; @ROOT@ and @WINE@ in them stand for the root and the wine/ folder
#   [complete]  a function given the root to finish what unpacking leaves undone, or nothing
#   [check]     a function given the root that fails, saying why, on a Wine the lane must not run
declare -gA LANE_WINE LANE_SERVER LANE_PREFIX LANE_ARCH

# start_root_lane NAME DESCRIPTION: fetches the root into the cache unless it is there, makes the
# lane's folder and prefix, starts the lane's Wine server (stop_rig stops it), sets
# HOW_RUN[NAME] and says which Wine it runs; when the lane cannot be made, says why and fails.
start_root_lane() {
    local name=$1 dir="$BUILD/lanes/$1" root setting runner
    local -n lane=$2
    local -a packages settings=()
    read -r -d '' -a packages <<<"${lane[packages]}"
    if ! root=$(cached_root "${lane[arch]}-root" "${lane[arch]}" \
        "$(archive_uri "${lane[release]}") ${lane[release]} main" "${packages[@]}") ||
        ! { [[ -z ${lane[complete]} ]] || cache_locked "${lane[complete]}" "$root"; } ||
        ! "${lane[check]}" "$root"; then
        echo "the $name lane could not be made" >&2
        return 1
    fi
    for setting in ${lane[settings]}; do
        setting=${setting//@ROOT@/$root}
        settings+=("${setting//@WINE@/$dir/wine}")
    done
    make_root_wine "$dir/wine" "$root" "${lane[triplet]}" "${lane[loader]}" "${lane[runner]}" \
        "${settings[@]}" || return 1
    LANE_WINE[$name]="$dir/wine/lib/wine/wine64"
    LANE_SERVER[$name]="$dir/wine/lib/wine/wineserver"
    LANE_PREFIX[$name]="$dir/prefix-${lane[release]}"
    LANE_ARCH[$name]=${lane[arch]}
    if ! with_lane_wine "$name" ensure_prefix "${LANE_WINE[$name]}" "${LANE_SERVER[$name]}"; then
        echo "the $name lane could not be made: wineboot made no prefix" >&2
        return 1
    fi
    with_lane_wine "$name" start_wineserver "${LANE_WINE[$name]}" "${LANE_SERVER[$name]}"
    RIG_STOPS+=("stop_root_lane $name")
    HOW_RUN[$name]="under Wine $(root_wine_version "$root") of Debian ${lane[release]}"
    runner=${lane[runner]%% *}
    [[ -n $runner ]] && HOW_RUN[$name]+=" in ${runner##*/}"
    echo "The $name lane runs ${HOW_RUN[$name]}"
}

# in_root_lane NAME COMMAND...: runs COMMAND with the lane's Wine where tools/wine takes it: for
# an arm64 lane, for ARM64 programs; otherwise for all 64-bit ones. The rest keeps the machine's.
in_root_lane() {
    local name=$1
    shift
    if [[ ${LANE_ARCH[$name]} == arm64 ]]; then
        MOSKEL_WINEARM64=${LANE_WINE[$name]} MOSKEL_WINEARM64_PREFIX=${LANE_PREFIX[$name]} "$@"
    else
        MOSKEL_WINE64=${LANE_WINE[$name]} with_lane_wine "$name" "$@"
    fi
}

# with_lane_wine NAME COMMAND...: COMMAND with Wine's own variables naming the lane's Wine.
with_lane_wine() {
    WINELOADER=${LANE_WINE[$1]} WINESERVER=${LANE_SERVER[$1]} WINEPREFIX=${LANE_PREFIX[$1]} "${@:2}"
}

stop_root_lane() {
    with_lane_wine "$1" stop_wineserver "${LANE_SERVER[$1]}"
}
