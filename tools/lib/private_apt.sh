# shellcheck shell=bash
# Private apt sets: packages of any release and architecture fetched from the machine's archive
# with a source list, an index and a status of their own, without touching the machine's apt
# configuration.

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

# archive_uris RELEASE: the archives from which the machine's apt sources take RELEASE, as apt
# itself reads its sources.
archive_uris() {
    apt-get indextargets --no-release-info --format '$(RELEASE) $(SITE)' 'Created-By: Packages' |
        awk -v release="$1" '$1 == release { print $2 }' | uniq
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

# index_version APT_DIR PACKAGE: the version of PACKAGE that the private apt in APT_DIR would
# choose, or nothing when its index has none.
index_version() {
    APT_CONFIG="$1/apt.conf" apt-cache show --no-all-versions "$2" 2>/dev/null |
        sed -n 's/^Version: //p'
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
