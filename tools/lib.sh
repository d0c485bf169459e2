# shellcheck shell=bash disable=SC2034
# The rig that tools/test, run, bench, storm, soak, package and animation share. Sourced, not run.
#
# Callers set ROOT (the checkout) and BUILD (the build folder, default build/). What the parts read
# from the environment:
#   MOSKEL_ARCHES, MOSKEL_CACHE    read here, into ARCHES and CACHE
#   MOSKEL_NO_I386                 wine.sh: 32-bit programs under qemu-i386 even where they run natively
#   MOSKEL_ARM64_RELEASE           arm64.sh: the release whose Wine for arm64 the aarch64 lane runs
#   MOSKEL_SECOND_WINE_RELEASE     second_wine.sh: the release whose Wine the wine2 lane runs
#   DISPLAY                        rig.sh: a desktop's display, for prepare_rig --display-if-none
# What they set, each in one place:
#   ARCHES, X86_ARCHES, CACHE      here: the architectures asked for (default all three), those of
#                                  them with a runtime for tests, benchmarks and stress programs
#                                  (Debian has none for Windows on ARM64, tested from outside in
#                                  tests/arm64), and where fetched things are kept for every checkout
#   WINEPREFIX, MOSKEL_WINE, WINEDEBUG, WINEDLLOVERRIDES   here, exported: the private prefix, the
#                                  loader every Windows program starts through (tools/wine) and
#                                  Wine's settings
#   REQUIRED                       packages.sh: what the machine needs
#   MOSKEL_WINE32, MOSKEL_WINE64, WINELOADER, HOW_RUN   wine.sh (choose_wine_loaders): the loaders
#                                  tools/wine starts, exported, and how each architecture runs here
#   XVFB_PIDS                      display.sh: the displays this shell started (a function may make
#                                  its own, local, set for displays that are its own)
#   RIG_STOPS, DESKTOP_DISPLAY, DISPLAY   rig.sh: what stop_rig ends besides the server and the
#                                  displays, and the display the tool draws on
#   LANE_WINE, LANE_SERVER, LANE_PREFIX, LANE_ARCH   root_lanes.sh: each root lane's Wine
#   ARM64_CHECKED_WINE             arm64.sh; SECOND_WINE_PACKAGES   second_wine.sh
# The lock on the build folder (rig.sh) stays on file descriptor 9 for the tool's life; the
# long-lived processes it starts (Xvfb, the Wine server and its helpers) are started with it
# closed, so that it ends with the tool. Functions take everything else as arguments and give their
# results on stdout; a function that fails says why on stderr.

ARCHES=${MOSKEL_ARCHES:-"i686 x86_64 aarch64"}
X86_ARCHES=$(printf '%s\n' $ARCHES | grep -v '^aarch64$' | tr '\n' ' ')
CACHE=${MOSKEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/moskel}
# The private prefix.
export WINEPREFIX="$BUILD/wine"
# Every Windows program, test or tool starts through this; it picks the loader by architecture.
export MOSKEL_WINE="$ROOT/tools/wine"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts: nobody is there to answer them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Each part uses only those before it.
# shellcheck source-path=SCRIPTDIR
source "$ROOT/tools/lib/packages.sh"    # install_missing, the releases around this one
source "$ROOT/tools/lib/private_apt.sh" # the archive, private apt sets
source "$ROOT/tools/lib/roots.sh"       # the cache and the private roots in it
source "$ROOT/tools/lib/qemu.sh"        # fetch_qemu
source "$ROOT/tools/lib/wine.sh"        # the machine's Wine: loaders, prefix, server
source "$ROOT/tools/lib/display.sh"     # Xvfb
source "$ROOT/tools/lib/rig.sh"         # prepare_rig, stop_rig
source "$ROOT/tools/lib/root_lanes.sh"  # Wine from a private root, beside the machine's
source "$ROOT/tools/lib/arm64.sh"       # the ARM64 lane
source "$ROOT/tools/lib/second_wine.sh" # the lane of x86_64 under another release's Wine
source "$ROOT/tools/lib/build.sh"       # build trees, Clang, reproducibility
source "$ROOT/tools/lib/release.sh"     # the release zip and its check
