# shellcheck shell=bash
# Private roots: packages of some release and architecture (Debian's Wine) unpacked with all they
# need into the cache, each in a folder named by what it holds.

# cache_locked COMMAND...: runs COMMAND holding the cache's lock, so that checkouts that fetch at
# the same time do not unpack over each other.
cache_locked() {
    local fd status
    mkdir -p "$CACHE"
    exec {fd}>>"$CACHE/.lock"
    flock "$fd"
    "$@"
    status=$?
    exec {fd}>&-
    return $status
}

# cached_root KIND ARCH "URI SUITE COMPONENT" PACKAGE...: prints the cache's folder of the root that
# fetch_root makes for that request (CACHE/KIND/<hash of the request>), fetching it first under the
# cache's lock unless it is there. The request names the folder, so finding it costs no apt run.
cached_root() {
    local arch=$2 source=$3 root suite
    suite=$(cut -d' ' -f2 <<<"$source")
    root=$(cached_root_folder "$@")
    shift 3
    cache_locked fetch_root "$root" "$CACHE/apt/$arch-$suite" "$arch" "$source" "$@" || return 1
    echo "$root"
}

# cached_root_folder KIND ARCH "URI SUITE COMPONENT" PACKAGE...: the folder cached_root uses.
cached_root_folder() {
    local kind=$1
    shift
    echo "$CACHE/$kind/$(echo "$*" | sha256sum | cut -c1-16)"
}

# cached_root_exists KIND ARCH "URI SUITE COMPONENT" PACKAGE...: succeeds when that root is there.
cached_root_exists() {
    [[ -f $(cached_root_folder "$@")/.request ]]
}

# fetch_root ROOT_DIR APT_DIR ARCH "URI SUITE COMPONENT" PACKAGE...: unpacks PACKAGE... with every
# package they need (apt's own choice for each alternative, no recommends) into ROOT_DIR, through a
# private apt in APT_DIR; ROOT_DIR/.closure lists them as name=version. A PACKAGE written "-PATTERN"
# names packages that count as installed instead (hold_installed), so that neither they nor what
# they need are unpacked. Does nothing when ROOT_DIR holds exactly those packages from that source
# already. The root is unpacked beside its place and moved there whole, so that a broken download
# never leaves half a root.
fetch_root() {
    local root=$1 apt=$2 arch=$3 source=$4 partial="$1.partial" deb request package
    shift 4
    local -a closure wanted=() held=()
    request="$arch $source: $*"
    [[ -f $root/.request && $(<"$root/.request") == "$request" ]] && return 0
    for package in "$@"; do
        if [[ $package == -* ]]; then held+=("${package#-}"); else wanted+=("$package"); fi
    done
    private_apt "$apt" "$arch" "$source" && hold_installed "$apt" "${held[@]}" || return 1
    mapfile -t closure < <(APT_CONFIG="$apt/apt.conf" apt-get --simulate --no-install-recommends \
        install "${wanted[@]}" 2>>"$apt/apt.log" | sed -nE 's/^Inst ([^ ]+) \(([^ ]+) .*/\1=\2/p')
    if ((${#closure[@]} == 0)); then
        echo "apt found no installable set for ${wanted[*]} on $arch (see $apt/apt.log)" >&2
        return 1
    fi
    rm -rf "$apt/debs" "$partial"
    mkdir -p "$apt/debs" "$partial"
    if ! (cd "$apt/debs" && APT_CONFIG="$apt/apt.conf" apt-get download "${closure[@]}") \
        >>"$apt/apt.log" 2>&1; then
        echo "could not download the ${#closure[@]} $arch packages (see $apt/apt.log)" >&2
        return 1
    fi
    for deb in "$apt"/debs/*.deb; do
        dpkg-deb -x "$deb" "$partial" || { echo "could not unpack $deb" >&2; return 1; }
    done
    printf '%s\n' "${closure[@]}" >"$partial/.closure"
    echo "$request" >"$partial/.request"
    rm -rf "$root" "$apt/debs"
    mv "$partial" "$root"
}

# root_wine_version ROOT: the version of the Wine that a root holds, from its list of packages.
root_wine_version() {
    sed -n 's/^wine64=//p' "$1/.closure"
}
