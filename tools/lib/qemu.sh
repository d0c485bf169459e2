# shellcheck shell=bash
# qemu-i386 and qemu-aarch64 of version 10 or later, from the one qemu-user package (static
# binaries, no dependencies) of the base release, else of its backports, else of the next release,
# fetched with a private apt into the cache. Older ones fail: 7.2's qemu-i386 (bookworm's own)
# cannot map Wine's shared user data.

# check_qemu DIR: succeeds when DIR/usr/bin holds a qemu-i386 and a qemu-aarch64 that can be used;
# otherwise says what is wrong with each.
check_qemu() {
    local binary version fine=0
    for binary in "$1/usr/bin/qemu-i386" "$1/usr/bin/qemu-aarch64"; do
        version=$("$binary" --version 2>/dev/null | sed -nE '1s/.*version ([0-9]+).*/\1/p')
        if [[ -z $version ]]; then
            echo "${binary##*/} does not run" >&2
            fine=1
        elif ((version < 10)); then
            echo "${binary##*/} is version $version; 10 or later is needed" >&2
            fine=1
        fi
    done
    return $fine
}

# fetch_qemu: prints a folder of the cache whose usr/bin holds both, fetching them first when the
# cache holds none that can be used.
fetch_qemu() {
    local dir suite
    dir=$(cached_qemu) && echo "$dir" && return 0
    for suite in "$(base_release)" "$(base_release)-backports" "$(next_release)"; do
        dir=$(cache_locked fetch_qemu_from "$suite") && echo "$dir" && return 0
    done
    return 1
}

# cached_qemu: the newest qemu of the cache that can be used.
cached_qemu() {
    local dir
    while read -r dir; do
        check_qemu "$dir" 2>/dev/null && echo "$dir" && return 0
    done < <(find "$CACHE/qemu" -mindepth 1 -maxdepth 1 -type d -name 'qemu-user_*' 2>/dev/null |
        grep -v '\.partial$' | sort -rV)
    return 1
}

# fetch_qemu_from SUITE: unpacks both from SUITE's qemu-user into the cache, in a folder named by
# the package's version, and prints that folder; fails unless both can be used. A version that the
# index shows too old is not downloaded.
fetch_qemu_from() {
    local suite=$1 apt="$CACHE/apt/amd64-$1" source deb version dir
    source="$(archive_uri "${suite%-backports}") $suite main" || return 1
    private_apt "$apt" amd64 "$source" || return 1
    version=$(index_version "$apt" "qemu-user/$suite")
    if [[ -z $version ]] || (($(sed -E 's/^[0-9]+://; s/[^0-9].*//' <<<"$version") < 10)); then
        echo "$suite has qemu-user ${version:-in no version}; 10 or later is needed" >&2
        return 1
    fi
    rm -rf "$apt/debs"
    mkdir -p "$apt/debs"
    if ! (cd "$apt/debs" && APT_CONFIG="$apt/apt.conf" apt-get download "qemu-user/$suite") \
        >>"$apt/apt.log" 2>&1; then
        echo "could not fetch qemu-user from $source (see $apt/apt.log)" >&2
        return 1
    fi
    deb=$(find "$apt/debs" -name 'qemu-user_*.deb')
    version=$(dpkg-deb -f "$deb" Version)
    dir="$CACHE/qemu/qemu-user_${version//:/%3a}"
    if ! check_qemu "$dir" 2>/dev/null; then
        rm -rf "$dir.partial"
        mkdir -p "$dir.partial"
        dpkg-deb --fsys-tarfile "$deb" |
            tar -x -C "$dir.partial" ./usr/bin/qemu-i386 ./usr/bin/qemu-aarch64
        check_qemu "$dir.partial" || { echo "(qemu-user $version from $source)" >&2; return 1; }
        rm -rf "$dir"
        mv "$dir.partial" "$dir"
    fi
    rm -rf "$apt/debs"
    echo "$dir"
}
