# shellcheck shell=bash
# Builds: one CMake tree per architecture and compiler, and the checks of the build itself.

triple_of() {
    echo "$1-w64-mingw32"
}

# build_tree SOURCE FOLDER ARCH COMPILER [TARGET ...]: configures once, then builds (all targets
# unless some are named), quietly; when either step fails, shows the end of its log (the compiler's
# messages) on stderr, names the log and fails. COMPILER is gcc or clang.
build_tree() {
    local source=$1 dir=$2 arch=$3 compiler=$4 log="$2.log"
    shift 4
    mkdir -p "$(dirname "$dir")"
    if [[ ! -f $dir/build.ninja ]] && ! cmake -S "$source" -B "$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$source/cmake/$(triple_of "$arch").cmake" \
        -DMOSKEL_COMPILER="$compiler" >"$log" 2>&1; then
        build_failed "$arch" "$log"
        return 1
    fi
    cmake --build "$dir" ${1:+--target "$@"} -- -j"$(nproc)" >"$log" 2>&1 ||
        { build_failed "$arch" "$log"; return 1; }
}

# build_failed ARCH LOG
build_failed() {
    tail -n 40 "$2" >&2
    echo "The build of $1 failed (the whole log: $2)" >&2
}

# build_arch ARCH: everything of ARCH in build/ARCH.
build_arch() {
    build_tree "$ROOT" "$BUILD/$1" "$1" gcc
}

# The product alone, built by Clang: code that only GCC accepts fails here.
build_with_clang() {
    build_tree "$ROOT" "$BUILD/clang-$1" "$1" clang moskel
}

# check_reproducible ARCH: a clean build of a copy of the sources, in another folder, gives the
# same bytes as build/ARCH's saver: nothing of the time or the place of a build may end up in the
# .scr.
check_reproducible() {
    local arch=$1 work="$BUILD/reproducible-$1"
    rm -rf "$work"
    mkdir -p "$work/sources"
    tar -C "$ROOT" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/sources" -xf -
    build_arch "$arch" && build_tree "$work/sources" "$work/second" "$arch" gcc moskel || return 1
    cmp "$BUILD/$arch/moskel.scr" "$work/second/moskel.scr" && rm -rf "$work"
}
