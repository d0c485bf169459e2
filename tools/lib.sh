# shellcheck shell=bash disable=SC2034
# The rig that tools/test, run, bench, storm, soak, package and animation share. Sourced, not run.
#
# Callers set ROOT (the checkout) and BUILD (the build folder, default build/). Besides those, the
# rig's functions read only:
#   ARCHES       the architectures asked for (MOSKEL_ARCHES; default all three)
#   X86_ARCHES   those of them whose tests, benchmarks and stress programs can be built: Debian has
#                no C or C++ runtime for Windows on ARM64, where the saver is tested from outside
#                only (tests/arm64)
#   CACHE        where what is fetched (qemu, the ARM64 root) is kept for every checkout
#                (MOSKEL_CACHE, default ~/.cache/moskel), each in a folder named by what it holds
# and set, besides what tools/wine reads from the environment (MOSKEL_WINE*, WINEPREFIX):
#   HOW_RUN[ARCH]    how ARCH's programs run here (choose_wine_loaders)
#   DESKTOP_DISPLAY  the desktop's display, when prepare_rig --display-if-none uses it
# Functions give their results on stdout; a function that fails says why on stderr.

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
