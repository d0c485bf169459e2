#!/usr/bin/env bash
# The built saver as a file, read by llvm-readobj, so no Windows is needed:
#   tests/files/check_scr.sh SCR ARCH      (ARCH: i686, x86_64 or aarch64)
# Prints each check that holds; each fault goes to stderr, and then the status is non-zero.
set -u
export LC_ALL=C
scr=$1
arch=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
imports=$root/cmake/imports

# What each architecture's file must be: machine, subsystem version and largest size in bytes. The
# 32-bit saver must load on Windows 95 and NT 4.0, which refuse a subsystem version above 4.0; the
# 64-bit ones keep their linkers' defaults. The saver carries its resources, the model tables and a
# little code: growth past these limits (79 and 81 KiB) means something large has been pulled in
# again (a runtime's start-up, say).
expectations() {
    awk -v arch="$1" '$1 == arch {print $2, $3, $4}' <<'EOF'
i686    IMAGE_FILE_MACHINE_I386  4.0 80896
x86_64  IMAGE_FILE_MACHINE_AMD64 5.2 82944
aarch64 IMAGE_FILE_MACHINE_ARM64 6.0 82944
EOF
}

# field NAME: the value of a field of the headers, e.g. "IMAGE_FILE_MACHINE_I386 (0x14C)".
field() {
    awk -v name="$1:" '$1 == name {sub(/^ *[^ ]+ /, ""); print; exit}' <<<"$headers"
}

# "DLL FUNCTION" for each function SCR imports, the DLL in upper case; one imported by ordinal
# reads "#N".
imported() {
    llvm-readobj --coff-imports "$scr" | awk '
        $1 == "Name:" {dll = toupper($2)}
        $1 == "Symbol:" {
            name = $0
            sub(/^ *Symbol: /, "", name)
            ordinal = name
            sub(/ \([0-9]+\)$/, "", name)
            gsub(/.*\(|\)/, "", ordinal)
            print dll, (name == "" ? "#" ordinal : name)
        }' | sort
}

# listed [dated]: "DLL FUNCTION" for each name the .def files list (with "dated", only those whose
# note says which Windows NT and 95 export it, or why that is not confirmed).
listed() {
    awk -v dated="${1:-}" '
        $1 == "LIBRARY" {dll = toupper($2)}
        /^[ \t]+[^ \t;]/ {
            note = index($0, ";") ? substr($0, index($0, ";")) : ""
            if (!dated || note ~ /^; (NT [0-9.]+\+, 95\+ \(.+\)|NOT CONFIRMED: .+)/) print dll, $1
        }' "$imports"/*.def | sort
}

faults=0
fail() {
    echo "$scr: $*" >&2
    faults=$((faults + 1))
    return 1
}

# joined: the lines of stdin on one line, separated by commas.
joined() { paste -sd, | sed 's/,/, /g'; }

check_machine() {
    [[ $(field Machine) == "$machine "* ]] || fail "machine $(field Machine), not $machine"
}

check_gui_subsystem() {
    local version
    version=$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)
    [[ $(field Subsystem) == "IMAGE_SUBSYSTEM_WINDOWS_GUI "* ]] ||
        fail "subsystem $(field Subsystem), not the GUI"
    [[ $version == "$subsystem_version" ]] ||
        fail "subsystem version $version, not $subsystem_version"
}

check_product_version() {
    local version major minor
    read -r version <"$root/VERSION"
    major=${version%%.*}
    minor=${version#*.}
    minor=${minor%%.*}
    [[ $(field MajorImageVersion).$(field MinorImageVersion) == "$major.$minor" ]] ||
        fail "image version $(field MajorImageVersion).$(field MinorImageVersion)," \
            "not $major.$minor as in VERSION"
}

# No C runtime: the functions of the six system DLLs that the .def files list, and no others.
check_imports() {
    local extra missing
    extra=$(comm -23 <(imported) <(listed))
    missing=$(comm -13 <(imported) <(listed))
    [[ -z $extra ]] || fail "imports what $imports does not list: $(joined <<<"$extra")"
    [[ -z $missing ]] || fail "does not import what $imports lists: $(joined <<<"$missing")"
}

# The 32-bit saver imports the same list: every name in it needs its note that Windows 95 and NT 4.0
# export it, so a new import joins only once that is checked.
check_imports_dated() {
    local undated
    undated=$(comm -23 <(imported) <(listed dated))
    [[ -z $undated ]] ||
        fail "imports without a note in $imports that Windows 95 and NT 4.0 export them:" \
            "$(joined <<<"$undated")"
}

# A TLS directory comes with a C runtime's start-up.
check_no_tls() {
    [[ $(field TLSTableRVA) == 0x0 ]] || fail "has a TLS directory at $(field TLSTableRVA)"
}

check_size() {
    local size
    size=$(stat -c %s "$scr")
    ((size <= size_limit)) || fail "$size bytes, more than $size_limit"
}

read -r machine subsystem_version size_limit < <(expectations "$arch") ||
    fail "no expectations for the architecture '$arch'" || exit 1
headers=$(llvm-readobj --file-headers "$scr") || fail "llvm-readobj cannot read it" || exit 1
for check in machine gui_subsystem product_version imports imports_dated no_tls size; do
    before=$faults
    "check_$check"
    ((faults == before)) && echo "ok: $check"
done
((faults == 0))
