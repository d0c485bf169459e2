# Shared by tools/test and tools/run: the packages, the private Wine prefix, a private X display.
# Sourced, not run. Callers set ROOT (the checkout) and BUILD (the build folder, default build/).

ARCHES=${MOSKEL_ARCHES:-"i686 x86_64"}
export WINEPREFIX="$BUILD/wine"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: nobody is there to answer them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# command-or-file:package pairs; a package is installed when its command or file is missing.
REQUIRED=(
    cmake:cmake ninja:ninja-build
    i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
    wine:wine /usr/lib/wine/wine64:wine64 /usr/lib/wine/wine:wine32:i386
    Xvfb:xvfb xdotool:xdotool xwd:x11-apps xdpyinfo:x11-utils /usr/bin/convert:imagemagick
    /usr/src/googletest/CMakeLists.txt:googletest
    /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri
    /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0:libglx-mesa0
    /usr/lib/x86_64-linux-gnu/libGL.so.1:libgl1
    /usr/lib/i386-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri:i386
    /usr/lib/i386-linux-gnu/libGLX_mesa.so.0:libglx-mesa0:i386
    /usr/lib/i386-linux-gnu/libGL.so.1:libgl1:i386
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

install_missing() {
    local missing
    mapfile -t missing < <(missing_packages)
    ((${#missing[@]} == 0)) && return 0
    local sudo=""
    if ((EUID != 0)); then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            sudo="sudo"
        else
            echo "Missing packages; as root run:" >&2
            echo "  dpkg --add-architecture i386 && apt-get update && apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

ensure_prefix() {
    [[ -f $WINEPREFIX/system.reg ]] && return 0
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager, hiding a top-level window stalls for two seconds unless Wine
    # manages the windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
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

# The first wine starts helper processes that would hold ctest's output pipes; start them here with
# every stream pointed away.
start_wineserver() {
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wineserver() {
    wineserver -k </dev/null >/dev/null 2>&1
}

triple_of() {
    echo "$1-w64-mingw32"
}

build_arch() {
    local arch=$1 dir="$BUILD/$1"
    if [[ ! -f $dir/build.ninja ]]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$(triple_of "$arch").cmake" >/dev/null || return 1
    fi
    cmake --build "$dir" -- -j"$(nproc)"
}
