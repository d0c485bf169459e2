# Shared by tools/test and tools/run: the packages, the private Wine prefix, a private X display.
# Sourced, not run. Callers set ROOT (the checkout) and BUILD (the build folder, default build/).

ARCHES=${MOSKEL_ARCHES:-"i686 x86_64 aarch64"}
# The architectures whose tests, benchmarks and stress programs can be built: Debian has no C or C++
# runtime for Windows on ARM64, where the saver is tested from outside only (tests/arm64).
X86_ARCHES=$(printf '%s\n' $ARCHES | grep -v '^aarch64$' | tr '\n' ' ')
export WINEPREFIX="$BUILD/wine"
# Every Windows program, test or tool starts through this; it picks the loader by architecture.
export MOSKEL_WINE="$ROOT/tools/wine"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: nobody is there to answer them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# command-or-file:package pairs; a package is installed when its command or file is missing.
REQUIRED=(
    cmake:cmake ninja:ninja-build clang:clang
    i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
    wine:wine /usr/lib/wine/wine64:wine64 /usr/lib/wine/wine:wine32:i386
    zip:zip unzip:unzip Xvfb:xvfb xdotool:xdotool xwd:x11-apps xdpyinfo:x11-utils /usr/bin/convert:imagemagick
    /usr/src/googletest/CMakeLists.txt:googletest
    /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri
    /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0:libglx-mesa0
    /usr/lib/x86_64-linux-gnu/libGL.so.1:libgl1
    /usr/lib/i386-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri:i386
    /usr/lib/i386-linux-gnu/libGLX_mesa.so.0:libglx-mesa0:i386
    /usr/lib/i386-linux-gnu/libGL.so.1:libgl1:i386
    # The command-line fuzz target is built natively: clang with libFuzzer and the sanitizers.
    clang++-14:clang-14
    # ARM64 Windows programs: Debian has no MinGW-w64 GCC for them, so clang, lld-link and
    # llvm-dlltool, which makes their import libraries from .def files.
    lld-link:lld llvm-dlltool:llvm
    /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev
)

missing_packages() {
    local entry what package
    for entry in "${REQUIRED[@]}"; do
        what=${entry%%:*}
        package=${entry#*:}
        if [[ $what == /* ]]; then
            [[ -e $what ]] || echo "$package"
        else
            command -v "$what" >/dev/null 2>&1 || echo "$package"
        fi
    done
}

# apt_update: refreshes the package indexes and prints the address of each index that could not be
# fetched; fails when any could not.
apt_update() {
    local out status
    out=$($SUDO apt-get update 2>&1)
    status=$?
    grep -E '^(E|W): Failed to fetch' <<<"$out" | grep -oE '[a-z]+://[^ ]+' | sort -u
    ((status == 0)) && ! grep -qE '^(E|W): Failed to fetch' <<<"$out"
}

apt_install() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" \
        </dev/null >"$BUILD/apt-install.log" 2>&1
}

# The base release of this machine (bookworm on Debian 12), whose packages exist for both
# architectures at the same versions.
base_release() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# Installs the missing packages. An index that cannot be fetched for one architecture leaves apt
# knowing newer versions of some host libraries without their i386 twins, and multi-arch packages
# must match across architectures: then both architectures take the base release's versions, so the
# foreign architecture never forces an upgrade of the host's libraries.
install_missing() {
    local missing failed base
    mapfile -t missing < <(missing_packages)
    ((${#missing[@]} == 0)) && return 0
    SUDO=""
    if ((EUID != 0)); then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            SUDO="sudo"
        else
            echo "Missing packages; as root run:" >&2
            echo "  dpkg --add-architecture i386 && apt-get update &&" \
                "apt-get install -t $(base_release) ${missing[*]}" >&2
            return 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    mkdir -p "$BUILD"
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    if ! failed=$(apt_update); then
        echo "Some package indexes could not be fetched; trying once more"
        failed=$(apt_update) && failed=""
    fi
    if [[ -z $failed ]] && apt_install "${missing[@]}"; then
        return 0
    fi
    base=$(base_release)
    [[ -n $failed ]] && printf 'Indexes that could not be fetched:\n%s\n' "$failed"
    echo "Installing from the base release $base only"
    apt_install -t "$base" "${missing[@]}" && return 0
    echo "Could not install: ${missing[*]}" >&2
    [[ -n $failed ]] && printf 'after these indexes could not be fetched:\n%s\n' "$failed" >&2
    grep -E '^(E|W):' "$BUILD/apt-install.log" | head -20 >&2
    return 1
}

# Prints the URI from which this machine's own apt sources take the base release, so that a private
# source list can name the same archive.
archive_uri() {
    local base=$1 file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -r $file ]] || continue
        sed -E 's/\[[^]]*\]//' "$file" | awk -v base="$base" '$1 == "deb" && $3 == base { print $2 }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -r $file ]] || continue
        awk -v base="$base" '
            function flush() { if (deb && found && uri) print uri; deb = found = 0; uri = "" }
            /^[ \t]*$/ { flush(); next }
            tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
            tolower($1) == "uris:" { uri = $2 }
            tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == base) found = 1 }
            END { flush() }' "$file"
    done
}

# release_source SUFFIX: prints the source line of the base release's suite SUFFIX ("" for the
# release itself, "-backports") in the archive that this machine's apt sources name; says why when
# there is none.
release_source() {
    local base uri
    base=$(base_release)
    uri=$(archive_uri "$base" | head -n 1)
    if [[ -z $uri ]]; then
        echo "no apt source of this machine carries the release '$base'"
        return 1
    fi
    echo "$uri $base$1 main"
}

# private_apt DIR ARCH SOURCE: points apt at a source list, index and cache folders of its own in
# DIR, for the one architecture ARCH, with an empty package status so that nothing installed on the
# machine counts; sets APT_OPTIONS and fetches the index (log in DIR/apt.log). The machine's apt
# configuration stays as it is.
APT_OPTIONS=()
private_apt() {
    local dir=$1 arch=$2 source=$3
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    echo "deb [arch=$arch signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $source" \
        >"$dir/sources.list"
    : >"$dir/status"
    APT_OPTIONS=(-o Dir::Etc::sourcelist="$dir/sources.list" -o Dir::Etc::sourceparts=/nonexistent
        -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" -o Dir::State::status="$dir/status"
        -o APT::Architecture="$arch" -o APT::Architectures::="$arch")
    apt-get "${APT_OPTIONS[@]}" update >"$dir/apt.log" 2>&1
}

# qemu-i386 and qemu-aarch64 of version 10 or later, both from the one qemu-user package of the base
# release's backports, unpacked into build/qemu. Older ones fail: 7.2's qemu-i386 cannot map Wine's
# shared user data.
QEMU_DIR="$BUILD/qemu"
QEMU_I386="$QEMU_DIR/usr/bin/qemu-i386"
QEMU_AARCH64="$QEMU_DIR/usr/bin/qemu-aarch64"

# Prints what is wrong with each qemu binary (missing, or too old); nothing when both can be used.
qemu_problems() {
    local binary version
    for binary in "$QEMU_I386" "$QEMU_AARCH64"; do
        version=$("$binary" --version 2>/dev/null | sed -nE '1s/.*version ([0-9]+).*/\1/p')
        if [[ -z $version ]]; then
            echo "${binary##*/} does not run"
        elif ((version < 10)); then
            echo "${binary##*/} is version $version; 10 or later is needed"
        fi
    done
}

fetch_qemu() {
    local dir=$QEMU_DIR source problems
    [[ -z $(qemu_problems) ]] && return 0
    source=$(release_source -backports) || { echo "$source"; return 1; }
    rm -f "$dir"/qemu-user_*.deb
    if ! private_apt "$dir" amd64 "$source" ||
        ! (cd "$dir" && apt-get "${APT_OPTIONS[@]}" download "qemu-user/$(base_release)-backports") \
            >>"$dir/apt.log" 2>&1; then
        echo "could not fetch qemu-user from $source (see $dir/apt.log)"
        return 1
    fi
    dpkg-deb --fsys-tarfile "$dir"/qemu-user_*.deb |
        tar -x -C "$dir" "./usr/bin/${QEMU_I386##*/}" "./usr/bin/${QEMU_AARCH64##*/}"
    rm -f "$dir"/qemu-user_*.deb
    problems=$(qemu_problems)
    if [[ -n $problems ]]; then
        echo "qemu-user from $source: ${problems//$'\n'/; }"
        return 1
    fi
}

# Debian's Wine and Mesa for arm64, with every library they need, unpacked into build/arm64-root:
# the platform that ARM64 Windows programs run on under qemu-aarch64. The X extension libraries are
# ones Wine only recommends and loads when present; the other lanes have them too. fonts-wine gives
# the dialogs their fonts.
ARM64_ROOT="$BUILD/arm64-root"
ARM64_APT="$BUILD/arm64-apt"
ARM64_PACKAGES=(wine64 fonts-wine libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1)

# Prints the packages that apt would install for ARM64_PACKAGES on an empty arm64 system, each as
# name=version: the closure with one choice for each alternative, as apt itself makes it.
arm64_closure() {
    apt-get "${APT_OPTIONS[@]}" --simulate --no-install-recommends install "${ARM64_PACKAGES[@]}" |
        sed -nE 's/^Inst ([^ ]+) \(([^ ]+) .*/\1=\2/p'
}

# Fetches and unpacks the root unless it holds the packages asked for already. It is unpacked
# beside its place and moved there whole, so that a broken download never leaves half a root.
fetch_arm64_root() {
    local source stamp="$ARM64_ROOT/.packages" partial="$ARM64_ROOT.partial" deb
    local -a closure
    [[ -f $stamp && $(<"$stamp") == "${ARM64_PACKAGES[*]}" ]] && return 0
    source=$(release_source "") || { echo "$source"; return 1; }
    if ! private_apt "$ARM64_APT" arm64 "$source"; then
        echo "could not fetch the arm64 package index of $source (see $ARM64_APT/apt.log)"
        return 1
    fi
    mapfile -t closure < <(arm64_closure 2>>"$ARM64_APT/apt.log")
    if ((${#closure[@]} == 0)); then
        echo "apt found no installable set for ${ARM64_PACKAGES[*]} on arm64 (see $ARM64_APT/apt.log)"
        return 1
    fi
    rm -rf "$ARM64_APT/debs" "$partial"
    mkdir -p "$ARM64_APT/debs" "$partial"
    if ! (cd "$ARM64_APT/debs" && apt-get "${APT_OPTIONS[@]}" download "${closure[@]}") \
        >>"$ARM64_APT/apt.log" 2>&1; then
        echo "could not download the ${#closure[@]} arm64 packages (see $ARM64_APT/apt.log)"
        return 1
    fi
    for deb in "$ARM64_APT"/debs/*.deb; do
        dpkg-deb -x "$deb" "$partial" || { echo "could not unpack $deb"; return 1; }
    done
    printf '%s\n' "${closure[@]}" >"$partial/.closure"
    echo "${ARM64_PACKAGES[*]}" >"$partial/.packages"
    rm -rf "$ARM64_ROOT" "$ARM64_APT/debs"
    mv "$partial" "$ARM64_ROOT"
}

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
ARM64_WINE="$ARM64_ROOT/usr/lib/wine/wine64"
ARM64_WINESERVER="$ARM64_ROOT/usr/lib/wine/wineserver"
ARM64_PREFIX="$BUILD/wine-aarch64"

# arm64_wrapper SCRIPT PROGRAM [VARIABLE=VALUE ...]: writes SCRIPT, which runs PROGRAM (both in the
# root's Wine folder) with the given environment, under the name SCRIPT.
arm64_wrapper() {
    local dir="$ARM64_ROOT/usr/lib/wine" script=$1 program=$2 setting settings=""
    local libraries="$ARM64_ROOT/lib/aarch64-linux-gnu:$ARM64_ROOT/usr/lib/aarch64-linux-gnu"
    shift 2
    for setting in "$@"; do
        settings+="${setting%%=*}=$(printf '%q' "${setting#*=}") "
    done
    printf '#!/bin/sh\n%sexec %q -cpu neoverse-n1 %q --library-path %q --argv0 %q %q "$@"\n' \
        "$settings" "$QEMU_AARCH64" "$dir/ld-linux-aarch64.so.1" "$libraries" "$dir/$script" \
        "$dir/$program" >"$dir/$script"
    chmod +x "$dir/$script"
}

make_arm64_wine() {
    local dir="$ARM64_ROOT/usr/lib/wine"
    [[ -f $dir/wine64.real ]] || mv "$dir/wine64" "$dir/wine64.real" || return 1
    cp "$ARM64_ROOT/lib/aarch64-linux-gnu/ld-linux-aarch64.so.1" "$dir/" || return 1
    arm64_wrapper wineserver wineserver64
    arm64_wrapper wine64 wine64.real WINELOADERNOEXEC=1 WINESERVER="$ARM64_WINESERVER" \
        LIBGL_DRIVERS_PATH="$ARM64_ROOT/usr/lib/aarch64-linux-gnu/dri"
}

# Makes the lane for ARM64 programs ready: qemu-aarch64, the root, its Wine and a prefix of its own
# in build/wine-aarch64. Exports MOSKEL_WINEARM64 (the loader), MOSKEL_WINEARM64_SERVER and
# MOSKEL_WINEARM64_PREFIX, which tools/wine uses for ARM64 programs; when the lane cannot be made,
# says why, sets AARCH64_PROBLEM and fails.
AARCH64_PROBLEM=""
setup_arm64_lane() {
    local problem
    if ! problem=$(fetch_qemu) || ! problem=$(fetch_arm64_root) || ! problem=$(make_arm64_wine); then
        AARCH64_PROBLEM=${problem:-the ARM64 Wine could not be made}
    elif ! WINEPREFIX=$ARM64_PREFIX ensure_prefix "$ARM64_WINE" "$ARM64_WINESERVER"; then
        AARCH64_PROBLEM="wineboot under qemu-aarch64 made no prefix"
    fi
    if [[ -n $AARCH64_PROBLEM ]]; then
        echo "ARM64 programs cannot run: $AARCH64_PROBLEM" >&2
        return 1
    fi
    export MOSKEL_WINEARM64=$ARM64_WINE MOSKEL_WINEARM64_SERVER=$ARM64_WINESERVER
    export MOSKEL_WINEARM64_PREFIX=$ARM64_PREFIX
    echo "ARM64 programs run under qemu-aarch64: $(sed -n 's/^wine64=//p' "$ARM64_ROOT/.closure")" \
        "(Debian's Wine for arm64)"
}

# A folder with Wine's layout in which the 32-bit loader runs under qemu-i386. Wine finds its files
# from the real path of the running loader and starts 32-bit children through <its folder>/wine, so
# everything a 32-bit program starts is emulated too. Nothing outside build/ changes. Without qemu,
# that wine prints why 32-bit programs cannot run and fails.
EMULATED_WINE="$BUILD/wine-emulated"
make_emulated_wine() {
    local dir=$EMULATED_WINE problem
    problem=$(fetch_qemu)
    rm -rf "$dir"
    mkdir -p "$dir/lib/wine" "$dir/share"
    ln -s /usr/lib/i386-linux-gnu "$dir/lib/i386-linux-gnu"
    ln -s /usr/lib/x86_64-linux-gnu "$dir/lib/x86_64-linux-gnu"
    ln -s /usr/share/wine "$dir/share/wine"
    ln -s /usr/lib/wine/wineserver64 "$dir/lib/wine/wineserver"
    cp /usr/lib/wine/wine64 "$dir/lib/wine/wine64"
    cp /usr/lib/wine/wine "$dir/lib/wine/wine.i386"
    if [[ -z $problem ]]; then
        printf '#!/bin/sh\nWINELOADERNOEXEC=1 exec %q -0 %q %q "$@"\n' "$QEMU_I386" \
            "$dir/lib/wine/wine" "$dir/lib/wine/wine.i386" >"$dir/lib/wine/wine"
    else
        printf '#!/bin/sh\necho %q >&2\nexit 126\n' "32-bit programs cannot run: $problem" \
            >"$dir/lib/wine/wine"
    fi
    chmod +x "$dir/lib/wine/wine"
    I686_PROBLEM=$problem
}

# Chooses the loaders that tools/wine starts: where this machine runs 32-bit Linux code, Debian's
# wine for both architectures; where it cannot (or MOSKEL_NO_I386 is set), the 64-bit loader for
# 64-bit programs and the emulated 32-bit loader for 32-bit ones. Says which in one line.
# HOW_RUN[ARCH] says how ARCH's programs run here, for what the scripts print.
I686_PROBLEM=""
declare -gA HOW_RUN
choose_wine_loaders() {
    if [[ -z ${MOSKEL_NO_I386:-} ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        export MOSKEL_WINE32=/usr/bin/wine MOSKEL_WINE64=/usr/bin/wine
        NATIVE_ARCH=i686
        HOW_RUN=([i686]=natively [x86_64]=natively [aarch64]="under qemu-aarch64")
        echo "32-bit Linux code runs on this machine: both architectures run natively"
        return 0
    fi
    make_emulated_wine
    export MOSKEL_WINE32="$EMULATED_WINE/lib/wine/wine" MOSKEL_WINE64="$EMULATED_WINE/lib/wine/wine64"
    export WINELOADER=$MOSKEL_WINE64
    NATIVE_ARCH=x86_64
    HOW_RUN=([i686]="under qemu-i386" [x86_64]=natively [aarch64]="under qemu-aarch64")
    local why="this machine cannot run 32-bit Linux code"
    [[ -n ${MOSKEL_NO_I386:-} ]] && why="MOSKEL_NO_I386 is set"
    if [[ -z $I686_PROBLEM ]]; then
        echo "$why: 64-bit programs run natively, 32-bit ones under qemu-i386 (slower)"
    else
        echo "$why: 64-bit programs run natively; 32-bit ones cannot run: $I686_PROBLEM"
    fi
}

# ensure_prefix [LOADER SERVER]: makes the prefix WINEPREFIX with LOADER's wineboot (default
# tools/wine and the machine's wineserver) unless it is there, and fails when none came of it.
ensure_prefix() {
    local loader=${1:-$MOSKEL_WINE} server=${2:-wineserver}
    [[ -f $WINEPREFIX/system.reg ]] && return 0
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager, hiding a top-level window stalls for two seconds unless Wine
    # manages the windows itself.
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    "$server" -w
    [[ -f $WINEPREFIX/system.reg ]] || { echo "wineboot made no prefix in $WINEPREFIX" >&2; return 1; }
}

# launch_xvfb VAR [Xvfb options]: starts Xvfb on the first free display and stores ":N" in VAR;
# stop_displays ends only the servers started here.
XVFB_PIDS=()
launch_xvfb() {
    local result=$1 n i pid
    shift
    for ((n = 90; n < 200; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp "$@" </dev/null >/dev/null 2>&1 &
        pid=$!
        for ((i = 0; i < 100; i++)); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        if [[ -e /tmp/.X11-unix/X$n ]]; then
            XVFB_PIDS+=("$pid")
            printf -v "$result" ':%d' "$n"
            return 0
        fi
    done
    echo "No free X display for Xvfb" >&2
    return 1
}

stop_displays() {
    local pid
    for pid in "${XVFB_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    XVFB_PIDS=()
}

# prepare_rig [--display-if-none] [Xvfb option ...]: the set-up that every script opens with: the
# packages, the Wine loaders, the private prefix, a private X display in DISPLAY and the prefix's
# Wine server, the last two stopped when the script exits. With --display-if-none, an X display
# that is already there (a desktop's) is used instead, and DESKTOP_DISPLAY is set.
DESKTOP_DISPLAY=""
prepare_rig() {
    local reuse=""
    [[ ${1:-} == --display-if-none ]] && reuse=1 && shift
    install_missing || return 1
    mkdir -p "$BUILD"
    choose_wine_loaders
    ensure_prefix || return 1
    if [[ -n $reuse && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        DESKTOP_DISPLAY=$DISPLAY
    else
        launch_xvfb DISPLAY "$@" || return 1
        export DISPLAY
    fi
    start_wineserver
    trap stop_rig EXIT
}

# start_arm64_lane: makes the lane for ARM64 programs ready (setup_arm64_lane) and starts its Wine
# server; stop_rig stops it with the rest.
ARM64_LANE_STARTED=""
start_arm64_lane() {
    setup_arm64_lane || return 1
    WINEPREFIX=$MOSKEL_WINEARM64_PREFIX start_wineserver "$MOSKEL_WINEARM64" "$MOSKEL_WINEARM64_SERVER"
    ARM64_LANE_STARTED=1
}

stop_rig() {
    [[ -n $ARM64_LANE_STARTED ]] &&
        WINEPREFIX=$MOSKEL_WINEARM64_PREFIX stop_wineserver "$MOSKEL_WINEARM64_SERVER"
    stop_wineserver
    stop_displays
}

# start_wineserver [LOADER SERVER]: the first wine starts helper processes that would hold ctest's
# output pipes; start them here with every stream pointed away. The defaults serve WINEPREFIX
# through tools/wine; the ARM64 lane passes its own loader and server with its prefix.
start_wineserver() {
    local loader=${1:-$MOSKEL_WINE} server=${2:-wineserver}
    "$server" -p </dev/null >/dev/null 2>&1
    "$loader" cmd /c exit </dev/null >/dev/null 2>&1
}

# stop_wineserver [SERVER]
stop_wineserver() {
    "${1:-wineserver}" -k </dev/null >/dev/null 2>&1
}

triple_of() {
    echo "$1-w64-mingw32"
}

# build_tree SOURCE FOLDER ARCH COMPILER [TARGET ...]: configures once, then builds (all targets
# unless some are named). COMPILER is gcc or clang.
build_tree() {
    local source=$1 dir=$2 arch=$3 compiler=$4
    shift 4
    if [[ ! -f $dir/build.ninja ]]; then
        cmake -S "$source" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$source/cmake/$(triple_of "$arch").cmake" \
            -DMOSKEL_COMPILER="$compiler" >/dev/null || return 1
    fi
    cmake --build "$dir" ${1:+--target "$@"} -- -j"$(nproc)"
}

build_arch() {
    build_tree "$ROOT" "$BUILD/$1" "$1" gcc
}

# The product alone, built by Clang: code that only GCC accepts fails here.
build_with_clang() {
    build_tree "$ROOT" "$BUILD/clang-$1" "$1" clang moskel
}

# Two clean builds of the same sources, from different folders into different folders, must give
# the same bytes: nothing of the time or the place of a build may end up in the .scr.
check_reproducible() {
    local arch=$1 work="$BUILD/reproducible-$1"
    rm -rf "$work"
    mkdir -p "$work/sources"
    tar -C "$ROOT" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/sources" -xf -
    build_tree "$ROOT" "$work/first" "$arch" gcc moskel >/dev/null &&
        build_tree "$work/sources" "$work/second" "$arch" gcc moskel >/dev/null || return 1
    cmp "$work/first/moskel.scr" "$work/second/moskel.scr" && rm -rf "$work"
}

# Packs the built .scr files and docs/install.txt (with Windows line ends) into
# build/moskel-<version>.zip, and sets PACKAGE to its path. Every file gets the time of the last
# commit, so the same commit gives the same zip. Beside it, CHECKSUMS (build/moskel-<version>.sha256)
# holds the SHA-256 of the zip and of each .scr in it, as `sha256sum -c` reads them in a folder
# where the zip was downloaded and unpacked.
make_package() {
    local version stage
    version=$(head -n 1 "$ROOT/VERSION")
    stage="$BUILD/package/moskel-$version"
    PACKAGE="$BUILD/moskel-$version.zip"
    CHECKSUMS="$BUILD/moskel-$version.sha256"
    rm -rf "$BUILD/package" "$PACKAGE" "$CHECKSUMS"
    mkdir -p "$stage/32-bit" "$stage/64-bit" "$stage/arm64"
    cp "$BUILD/i686/moskel.scr" "$stage/32-bit/" && cp "$BUILD/x86_64/moskel.scr" "$stage/64-bit/" &&
        cp "$BUILD/aarch64/moskel.scr" "$stage/arm64/" || return 1
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$ROOT/docs/install.txt" >"$stage/Install.txt"
    local stamp
    stamp=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ROOT/VERSION")
    find "$stage" -exec touch -d "@$stamp" {} +
    (cd "$BUILD/package" && find "moskel-$version" | LC_ALL=C sort | TZ=UTC zip -X -q "$PACKAGE" -@) &&
        { (cd "$BUILD" && sha256sum "moskel-$version.zip") &&
            (cd "$BUILD/package" && sha256sum "moskel-$version"/*/moskel.scr); } >"$CHECKSUMS"
}
