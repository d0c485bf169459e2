#!/usr/bin/env bash
# The rig's parsers on inputs made here: the releases around one in distro-info-data's table, the
# archives of apt sources in both formats, the counts of a ctest JUnit file, and the machine type
# by which tools/wine picks a loader.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(mktemp -d)
trap 'rm -rf "$BUILD"' EXIT
source "$ROOT/tools/lib/packages.sh"
source "$ROOT/tools/lib/private_apt.sh"
source "$ROOT/tools/lib/lanes.sh"
failures=0

# expect WHAT EXPECTED ACTUAL
expect() {
    [[ $2 == "$3" ]] && return 0
    echo "$1: expected '$2', got '$3'" >&2
    failures=$((failures + 1))
}

table='version,codename,series,created,release,eol
11,Bullseye,bullseye,2019-07-06,2021-08-14,2024-08-14
12,Bookworm,bookworm,2021-08-14,2023-06-10,2026-06-10
13,Trixie,trixie,2023-06-10,2025-08-09
14,Forky,forky,2025-08-09'
expect "after bookworm" trixie "$(release_after bookworm <<<"$table")"
expect "before trixie" bookworm "$(release_before trixie <<<"$table")"
expect "after the last" "" "$(release_after forky <<<"$table" 2>/dev/null)"
expect "before the first" "" "$(release_before bullseye <<<"$table" 2>/dev/null)"
expect "an unknown one" "" "$(release_after sid <<<"$table" 2>/dev/null)"

sources="$BUILD/sources"
mkdir -p "$sources/parts"
cat >"$sources/parts/debian.sources" <<'SOURCES'
Types: deb
URIs: http://archive.example/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb-src
URIs: http://sources.example/debian
Suites: trixie
Components: main
SOURCES
echo "deb [arch=amd64 signed-by=/k.gpg] http://old.example/debian trixie main" >"$sources/list"
printf 'Dir::Etc::sourcelist "%s";\nDir::Etc::sourceparts "%s";\nDir::State::Lists "%s";\n' \
    "$sources/list" "$sources/parts" "$sources/lists" >"$sources/apt.conf"
export APT_CONFIG="$sources/apt.conf"
base_release() { echo bookworm; }
expect "bookworm's archive" http://archive.example/debian "$(archive_uris bookworm)"
expect "trixie's archive, not its sources'" http://old.example/debian "$(archive_uris trixie)"
expect "a release no source names" http://archive.example/debian "$(archive_uri forky)"
unset APT_CONFIG

printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuite name="(empty)"\n\ttests="37"\n' >"$BUILD/junit.xml"
printf '\tfailures="2"\n\tdisabled="1"\n\tskipped="14"\n\t>\n<testcase name="a" tests="9"/>\n' >>"$BUILD/junit.xml"
expect "JUnit counts" "37 2 14 1 " "$(junit_counts "$BUILD/junit.xml")"
expect "a missing JUnit file" "0 0 0 0 " "$(junit_counts "$BUILD/missing.xml")"

# pe_file NAME MACHINE: a file with a PE header at 64 for that machine (two bytes, little-endian).
pe_file() {
    { printf 'MZ' && head -c 58 /dev/zero && printf '\100\0\0\0PE\0\0' && printf "$2"; } >"$BUILD/$1"
}
pe_file i386.exe '\114\001'
pe_file amd64.exe '\144\206'
pe_file arm64.exe '\144\252'
for loader in 32 64 arm64; do
    printf '#!/bin/sh\necho %s "$@"\n' "$loader" >"$BUILD/wine$loader"
    chmod +x "$BUILD/wine$loader"
done
wine() {
    MOSKEL_WINE32="$BUILD/wine32" MOSKEL_WINE64="$BUILD/wine64" MOSKEL_WINEARM64="$BUILD/winearm64" \
        MOSKEL_WINEARM64_PREFIX=/p "$ROOT/tools/wine" "$@" 2>/dev/null
}
expect "an i386 program" "32 $BUILD/i386.exe x" "$(wine "$BUILD/i386.exe" x)"
expect "an amd64 program" "64 $BUILD/amd64.exe" "$(wine "$BUILD/amd64.exe")"
expect "an ARM64 program" "arm64 $BUILD/arm64.exe" "$(wine "$BUILD/arm64.exe")"
expect "a builtin" "64 reg query" "$(wine reg query)"
expect "an ARM64 program without its lane" "" "$(MOSKEL_WINE64="$BUILD/wine64" MOSKEL_WINEARM64="" \
    "$ROOT/tools/wine" "$BUILD/arm64.exe" 2>/dev/null)"

((failures == 0)) && echo "The rig's parsers: all as expected"
((failures == 0))
