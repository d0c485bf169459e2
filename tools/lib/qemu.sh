# shellcheck shell=bash
# qemu-i386 and qemu-aarch64 of version 10 or later, from the one qemu-user package (static
# binaries, no dependencies) of the base release's backports, else of the next release, fetched
# with a private apt. Older ones fail: 7.2's qemu-i386 cannot map Wine's shared user data.

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

# fetch_qemu: prints the folder whose usr/bin holds both, fetching them first when they are not
# there or cannot be used.
fetch_qemu() {
    local dir="$BUILD/qemu" suite
    check_qemu "$dir" 2>/dev/null && echo "$dir" && return 0
    for suite in "$(base_release)-backports" "$(next_release)"; do
        fetch_qemu_from "$dir" "$suite" && echo "$dir" && return 0
    done
    return 1
}

# fetch_qemu_from DIR SUITE: unpacks both from SUITE's qemu-user into DIR; fails unless both can
# be used.
fetch_qemu_from() {
    local dir=$1 suite=$2 apt="$1/apt-$2" source partial="$1.partial"
    source="$(archive_uri "${suite%-backports}") $suite main" || return 1
    private_apt "$apt" amd64 "$source" || return 1
    rm -rf "$apt/debs" "$partial"
    mkdir -p "$apt/debs" "$partial"
    if ! (cd "$apt/debs" && APT_CONFIG="$apt/apt.conf" apt-get download "qemu-user/$suite") \
        >>"$apt/apt.log" 2>&1; then
        echo "could not fetch qemu-user from $source (see $apt/apt.log)" >&2
        return 1
    fi
    dpkg-deb --fsys-tarfile "$apt"/debs/qemu-user_*.deb |
        tar -x -C "$partial" ./usr/bin/qemu-i386 ./usr/bin/qemu-aarch64
    rm -rf "$apt/debs"
    check_qemu "$partial" || { echo "(qemu-user from $source)" >&2; return 1; }
    rm -rf "${dir:?}/usr"
    mv "$partial/usr" "$dir/usr"
    rmdir "$partial"
}
