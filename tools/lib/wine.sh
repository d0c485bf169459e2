# shellcheck shell=bash
# Wine: the loaders that tools/wine starts for each architecture, the private prefix and its server.

# make_emulated_wine DIR: a folder with Wine's layout in which the 32-bit loader runs under
# qemu-i386. Wine finds its files from the real path of the running loader and starts 32-bit
# children through <its folder>/wine, so everything a 32-bit program starts is emulated too. Nothing
# outside DIR changes. Without qemu, that wine prints why 32-bit programs cannot run and fails, and
# so does this.
make_emulated_wine() {
    local dir=$1 qemu problem
    rm -rf "$dir"
    mkdir -p "$dir/lib/wine" "$dir/share"
    ln -s /usr/lib/i386-linux-gnu "$dir/lib/i386-linux-gnu"
    ln -s /usr/lib/x86_64-linux-gnu "$dir/lib/x86_64-linux-gnu"
    ln -s /usr/share/wine "$dir/share/wine"
    ln -s /usr/lib/wine/wineserver64 "$dir/lib/wine/wineserver"
    cp /usr/lib/wine/wine64 "$dir/lib/wine/wine64"
    cp /usr/lib/wine/wine "$dir/lib/wine/wine.i386"
    if qemu=$(fetch_qemu 2>"$dir/qemu.log"); then
        printf '#!/bin/sh\nWINELOADERNOEXEC=1 exec %q -0 %q %q "$@"\n' "$qemu/usr/bin/qemu-i386" \
            "$dir/lib/wine/wine" "$dir/lib/wine/wine.i386" >"$dir/lib/wine/wine"
        chmod +x "$dir/lib/wine/wine"
        return 0
    fi
    problem=$(<"$dir/qemu.log")
    problem="32-bit programs cannot run: ${problem//$'\n'/; }"
    printf '#!/bin/sh\necho %q >&2\nexit 126\n' "$problem" >"$dir/lib/wine/wine"
    chmod +x "$dir/lib/wine/wine"
    echo "$problem" >&2
    return 1
}

# Chooses the loaders that tools/wine starts: where this machine runs 32-bit Linux code, Debian's
# wine for both architectures; where it cannot (or MOSKEL_NO_I386 is set), the 64-bit loader for
# 64-bit programs and the emulated 32-bit loader (build/wine-emulated) for 32-bit ones. Says which
# in one line, and sets HOW_RUN[ARCH] to how ARCH's programs run here, for what the scripts print.
declare -gA HOW_RUN
choose_wine_loaders() {
    local why="this machine cannot run 32-bit Linux code" emulated="$BUILD/wine-emulated" problem
    local wine
    wine="Wine $(machine_wine_version)"
    if [[ -z ${MOSKEL_NO_I386:-} ]] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        export MOSKEL_WINE32=/usr/bin/wine MOSKEL_WINE64=/usr/bin/wine
        HOW_RUN=([i686]="natively under $wine" [x86_64]="natively under $wine"
            [aarch64]="under qemu-aarch64")
        echo "32-bit Linux code runs on this machine: both architectures run natively"
        return 0
    fi
    export MOSKEL_WINE32="$emulated/lib/wine/wine" MOSKEL_WINE64="$emulated/lib/wine/wine64"
    export WINELOADER=$MOSKEL_WINE64
    HOW_RUN=([i686]="under $wine in qemu-i386" [x86_64]="natively under $wine"
        [aarch64]="under qemu-aarch64")
    [[ -n ${MOSKEL_NO_I386:-} ]] && why="MOSKEL_NO_I386 is set"
    if problem=$(make_emulated_wine "$emulated" 2>&1); then
        echo "$why: 64-bit programs run natively, 32-bit ones under qemu-i386 (slower)"
    else
        echo "$why: 64-bit programs run natively; $problem"
    fi
}

# machine_wine_version: the version of the machine's Wine package, as Debian gives it.
machine_wine_version() {
    dpkg-query -W -f '${Version}' wine64 2>/dev/null
}

# i686_runs: succeeds when the chosen 32-bit loader runs a program of the prefix; otherwise says
# why. (Under qemu-i386 the loader takes no --version: it starts a program or nothing.)
i686_runs() {
    "$MOSKEL_WINE32" cmd /c exit 0 </dev/null >/dev/null
}

# The architecture whose programs run at full speed here.
full_speed_arch() {
    if [[ ${HOW_RUN[i686]} == natively* ]]; then echo i686; else echo x86_64; fi
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

# start_wineserver [LOADER SERVER]: the first wine starts helper processes that would hold ctest's
# output pipes; start them here with every stream pointed away. The defaults serve WINEPREFIX
# through tools/wine; the ARM64 lane passes its own loader and server with its prefix.
start_wineserver() {
    local loader=${1:-$MOSKEL_WINE} server=${2:-wineserver}
    "$server" -p </dev/null >/dev/null 2>&1 9>&-
    "$loader" cmd /c exit </dev/null >/dev/null 2>&1 9>&-
}

# stop_wineserver [SERVER]
stop_wineserver() {
    "${1:-wineserver}" -k </dev/null >/dev/null 2>&1
}
