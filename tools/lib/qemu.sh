# shellcheck shell=bash
# qemu-i386 and qemu-aarch64 of version 10 or later, both from the one qemu-user package of the base
# release's backports (static binaries, no dependencies), fetched with a private apt. Older ones
# fail: 7.2's qemu-i386 cannot map Wine's shared user data.

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
    local dir="$BUILD/qemu" base source
    check_qemu "$dir" 2>/dev/null && echo "$dir" && return 0
    base=$(base_release)
    source="$(archive_uri "$base") $base-backports main" || return 1
    rm -f "$dir"/qemu-user_*.deb
    private_apt "$dir" amd64 "$source" || return 1
    if ! (cd "$dir" && APT_CONFIG="$dir/apt.conf" apt-get download "qemu-user/$base-backports") \
        >>"$dir/apt.log" 2>&1; then
        echo "could not fetch qemu-user from $source (see $dir/apt.log)" >&2
        return 1
    fi
    dpkg-deb --fsys-tarfile "$dir"/qemu-user_*.deb |
        tar -x -C "$dir" ./usr/bin/qemu-i386 ./usr/bin/qemu-aarch64
    rm -f "$dir"/qemu-user_*.deb
    check_qemu "$dir" || { echo "(qemu-user from $source)" >&2; return 1; }
    echo "$dir"
}
