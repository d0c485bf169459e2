# shellcheck shell=bash
# The machine's packages and its Debian release.

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
# compiler's resource folder: lib/linux/libclang_rt.fuzzer-x86_64.a (Debian's LLVM 14 and 19), or
# lib/<target>/libclang_rt.fuzzer.a where LLVM is built with a folder for each target. Fails when
# there is none.
fuzzer_runtime() {
    local dir file
    dir=$(clang++ -print-resource-dir 2>/dev/null) || return 1
    for file in "$dir"/lib/linux/libclang_rt.fuzzer-x86_64.a "$dir"/lib/x86_64*/libclang_rt.fuzzer.a; do
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
    release_before "$(base_release)" </usr/share/distro-info/debian.csv
}

# The Debian release after the base one (bookworm: trixie), from distro-info-data's table.
next_release() {
    release_after "$(base_release)" </usr/share/distro-info/debian.csv
}

# release_before RELEASE, release_after RELEASE: the release named in the row before or after
# RELEASE's in a table of distro-info-data's form (version,codename,series,...) on stdin.
release_before() {
    awk -F, -v release="$1" '$3 == release && previous != "" { print previous; found = 1; exit }
        NR > 1 { previous = $3 } END { if (!found) exit 1 }' ||
        { echo "no Debian release before '$1' is known" >&2; return 1; }
}
release_after() {
    awk -F, -v release="$1" 'found && $3 != "" { print $3; exit } $3 == release { found = 1 }
        END { if (!found || NR == 0) exit 1 }' | grep . ||
        { echo "no Debian release after '$1' is known" >&2; return 1; }
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
