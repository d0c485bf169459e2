# shellcheck shell=bash
# The machine's packages, and private apt sets that fetch packages without touching its
# configuration.

# what:package pairs; a package is installed when what is missing: a command, an absolute file or,
# written @name, a function that fails. Names that every Debian release has, never a version's.
REQUIRED=(
    cmake:cmake ninja:ninja-build clang:clang
    i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
    wine:wine /usr/lib/wine/wine64:wine64 /usr/lib/wine/wine:wine32:i386
    zip:zip unzip:unzip Xvfb:xvfb xdotool:xdotool xwd:x11-apps xdpyinfo:x11-utils /usr/bin/convert:imagemagick
    /usr/share/distro-info/debian.csv:distro-info-data
    /usr/src/googletest/CMakeLists.txt:googletest
    /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri
    /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0:libglx-mesa0
    /usr/lib/x86_64-linux-gnu/libGL.so.1:libgl1
    /usr/lib/i386-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri:i386
    /usr/lib/i386-linux-gnu/libGLX_mesa.so.0:libglx-mesa0:i386
    /usr/lib/i386-linux-gnu/libGL.so.1:libgl1:i386
    # The command-line fuzz target is built natively: clang with libFuzzer and the sanitizers.
    @fuzzer_runtime:libclang-rt-dev
    # ARM64 Windows programs: Debian has no MinGW-w64 GCC for them, so clang, lld-link and
    # llvm-dlltool, which makes their import libraries from .def files.
    lld-link:lld llvm-dlltool:llvm
)

# fuzzer_runtime: prints the path of the libFuzzer library that clang++ links, which lies in the
# compiler's own runtime folder, named with the architecture (LLVM 14) or in a folder of it
# (later versions); fails when there is none.
fuzzer_runtime() {
    local dir file
    dir=$(clang++ -print-runtime-dir 2>/dev/null) || return 1
    for file in "$dir"/libclang_rt.fuzzer-x86_64.a "$dir"/libclang_rt.fuzzer.a; do
        [[ -f $file ]] && echo "$file" && return 0
    done
    return 1
}

missing_packages() {
    local entry what package
    for entry in "${REQUIRED[@]}"; do
        what=${entry%%:*}
        package=${entry#*:}
        if [[ $what == @* ]]; then
            "${what#@}" >/dev/null 2>&1 || echo "$package"
        elif [[ $what == /* ]]; then
            [[ -e $what ]] || echo "$package"
        else
            command -v "$what" >/dev/null 2>&1 || echo "$package"
        fi
    done
}

# apt_update SUDO: refreshes the package indexes and prints the address of each index that could
# not be fetched; fails when any could not.
apt_update() {
    local out status
    out=$($1 apt-get update 2>&1)
    status=$?
    grep -E '^(E|W): Failed to fetch' <<<"$out" | grep -oE '[a-z]+://[^ ]+' | sort -u
    ((status == 0)) && ! grep -qE '^(E|W): Failed to fetch' <<<"$out"
}

# apt_install SUDO [apt-get install argument ...]: the log goes to build/apt-install.log.
apt_install() {
    local sudo=$1
    shift
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" \
        </dev/null >"$BUILD/apt-install.log" 2>&1
}

# The base release of this machine (bookworm on Debian 12), whose packages exist for both
# architectures at the same versions.
base_release() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# The Debian release before the base one (trixie: bookworm), from distro-info-data's table.
previous_release() {
    local base previous
    base=$(base_release)
    previous=$(awk -F, -v base="$base" '$3 == base { print previous; exit } { previous = $3 }' \
        /usr/share/distro-info/debian.csv)
    [[ -n $previous ]] || { echo "no Debian release before '$base' is known" >&2; return 1; }
    echo "$previous"
}

# The Debian release after the base one (bookworm: trixie), from distro-info-data's table.
next_release() {
    local base next
    base=$(base_release)
    next=$(awk -F, -v base="$base" 'found && $3 != "" { print $3; exit } $3 == base { found = 1 }' \
        /usr/share/distro-info/debian.csv)
    [[ -n $next ]] || { echo "no Debian release after '$base' is known" >&2; return 1; }
    echo "$next"
}

# Installs the missing packages. An index that cannot be fetched for one architecture leaves apt
# knowing newer versions of some host libraries without their i386 twins, and multi-arch packages
# must match across architectures: then both architectures take the base release's versions, so the
# foreign architecture never forces an upgrade of the host's libraries. When apt refuses, what it
# said is shown with the packages asked for.
install_missing() {
    local missing failed base sudo=""
    mapfile -t missing < <(missing_packages)
    ((${#missing[@]} == 0)) && return 0
    if ((EUID != 0)); then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            sudo="sudo"
        else
            echo "Missing packages; as root run:" >&2
            echo "  dpkg --add-architecture i386 && apt-get update &&" \
                "apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    mkdir -p "$BUILD"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    if ! failed=$(apt_update "$sudo"); then
        echo "Some package indexes could not be fetched; trying once more"
        failed=$(apt_update "$sudo") && failed=""
    fi
    if [[ -z $failed ]]; then
        apt_install "$sudo" "${missing[@]}" && return 0
    else
        base=$(base_release)
        printf 'Indexes that could not be fetched:\n%s\n' "$failed"
        echo "Installing from the base release $base only"
        apt_install "$sudo" -t "$base" "${missing[@]}" && return 0
    fi
    echo "Could not install ${missing[*]}; apt said:" >&2
    grep -E '^(E|W):|^ [^ ].* : (Pre)?Depends:|^ +(Pre)?Depends:|Breaks:|Conflicts:' \
        "$BUILD/apt-install.log" | head -20 >&2
    return 1
}

# archive_uri RELEASE: prints the URI of the archive from which this machine's apt sources take
# RELEASE, or else the base release: Debian's archive carries every release, so a private source
# list can name a later one there.
archive_uri() {
    local uris
    uris=$(archive_uris "$1"; archive_uris "$(base_release)")
    if [[ -z $uris ]]; then
        echo "no apt source of this machine carries '$1' or the base release" >&2
        return 1
    fi
    echo "${uris%%$'\n'*}"
}

# archive_uris RELEASE: the URIs of the machine's apt sources that name RELEASE.
archive_uris() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -r $file ]] || continue
        sed -E 's/\[[^]]*\]//' "$file" |
            awk -v release="$1" '$1 == "deb" && $3 == release { print $2 }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -r $file ]] || continue
        awk -v release="$1" '
            function flush() { if (deb && found && uri) print uri; deb = found = 0; uri = "" }
            /^[ \t]*$/ { flush(); next }
            tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
            tolower($1) == "uris:" { uri = $2 }
            tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == release) found = 1 }
            END { flush() }' "$file"
    done
}

# private_apt DIR ARCH "URI SUITE COMPONENT": writes DIR/apt.conf, which points apt at a source
# list, index and cache folders of its own in DIR, for the one architecture ARCH, with an empty
# package status so that nothing installed on the machine counts, and fetches the index (log in
# DIR/apt.log). Callers run `APT_CONFIG=DIR/apt.conf apt-get ...`; the machine's apt configuration
# stays as it is.
private_apt() {
    local dir=$1 arch=$2 source=$3
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    echo "deb [arch=$arch signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $source" \
        >"$dir/sources.list"
    : >"$dir/status"
    cat >"$dir/apt.conf" <<CONF
Dir::Etc::sourcelist "$dir/sources.list";
Dir::Etc::sourceparts "/nonexistent";
Dir::State::Lists "$dir/lists";
Dir::State::status "$dir/status";
Dir::Cache "$dir/cache";
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
CONF
    APT_CONFIG="$dir/apt.conf" apt-get update >"$dir/apt.log" 2>&1 && return 0
    echo "could not fetch the $arch package index of $source (see $dir/apt.log)" >&2
    return 1
}

# hold_installed APT_DIR PATTERN...: enters each package that the private apt in APT_DIR knows and
# whose whole name a PATTERN (an extended regular expression) matches in its package status as
# installed at the version apt would choose, with no dependencies of its own.
hold_installed() {
    local apt=$1 patterns
    local -a names
    shift
    (($# == 0)) && return 0
    patterns=$(IFS='|' && echo "$*")
    mapfile -t names < <(APT_CONFIG="$apt/apt.conf" apt-cache pkgnames | grep -xE "$patterns")
    ((${#names[@]} == 0)) && return 0
    APT_CONFIG="$apt/apt.conf" apt-cache show --no-all-versions "${names[@]}" 2>>"$apt/apt.log" |
        awk '/^(Package|Version|Architecture|Multi-Arch|Maintainer|Description):/ { print }
             /^$/ { print "Status: install ok installed\n" }' >>"$apt/status"
}

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

# fetch_root ROOT_DIR APT_DIR ARCH "URI SUITE COMPONENT" PACKAGE...: unpacks PACKAGE... with every
# package they need (apt's own choice for each alternative, no recommends) into ROOT_DIR, through a
# private apt in APT_DIR; ROOT_DIR/.closure lists them as name=version. A PACKAGE written "-PATTERN"
# names packages that count as installed instead (hold_installed), so that neither they nor what
# they need are unpacked. Does nothing when
# ROOT_DIR holds exactly those packages from that source already. The root is unpacked beside its
# place and moved there whole, so that a broken download never leaves half a root.
# cached_root KIND ARCH "URI SUITE COMPONENT" PACKAGE...: prints the cache's folder of the root that
# fetch_root makes for that request (CACHE/KIND/<hash of the request>), fetching it first under the
# cache's lock unless it is there. The request names the folder, so finding it costs no apt run.
cached_root() {
    local kind=$1 arch=$2 source=$3 root suite
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
