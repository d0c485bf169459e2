# shellcheck shell=bash
# The release zip.

# make_package: packs the built .scr files and docs/install.txt (with Windows line ends) into
# build/moskel-<version>.zip and prints its path. Every file gets the time of the last commit, so
# the same commit gives the same zip. Beside it, build/moskel-<version>.sha256 holds the SHA-256 of
# the zip and of each .scr in it, as `sha256sum -c` reads them in a folder where the zip was
# downloaded and unpacked.
make_package() {
    local version stage zip checksums stamp
    version=$(head -n 1 "$ROOT/VERSION")
    stage="$BUILD/package/moskel-$version"
    zip="$BUILD/moskel-$version.zip"
    checksums="$BUILD/moskel-$version.sha256"
    rm -rf "$BUILD/package" "$zip" "$checksums"
    mkdir -p "$stage/32-bit" "$stage/64-bit" "$stage/arm64"
    cp "$BUILD/i686/moskel.scr" "$stage/32-bit/" && cp "$BUILD/x86_64/moskel.scr" "$stage/64-bit/" &&
        cp "$BUILD/aarch64/moskel.scr" "$stage/arm64/" || return 1
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$ROOT/docs/install.txt" >"$stage/Install.txt"
    stamp=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ROOT/VERSION")
    find "$stage" -exec touch -d "@$stamp" {} +
    (cd "$BUILD/package" && find "moskel-$version" | LC_ALL=C sort | TZ=UTC zip -X -q "$zip" -@) &&
        { (cd "$BUILD" && sha256sum "moskel-$version.zip") &&
            (cd "$BUILD/package" && sha256sum "moskel-$version"/*/moskel.scr); } >"$checksums" &&
        echo "$zip"
}

# The release zip holds exactly the savers that were built and tested, and its checksums hold for
# the zip and for what a user unpacks from it.
check_package() {
    local package checksums
    package=$(make_package) || return 1
    checksums=${package%.zip}.sha256
    unzip -l "$package"
    unzip -p "$package" "*/32-bit/moskel.scr" | cmp - "$BUILD/i686/moskel.scr" &&
        unzip -p "$package" "*/64-bit/moskel.scr" | cmp - "$BUILD/x86_64/moskel.scr" &&
        unzip -p "$package" "*/arm64/moskel.scr" | cmp - "$BUILD/aarch64/moskel.scr" &&
        unzip -p "$package" "*/Install.txt" | grep -q "moskel.scr" || return 1
    local download="$BUILD/download"
    rm -rf "$download" && mkdir -p "$download" && cp "$package" "$checksums" "$download" &&
        (cd "$download" && unzip -q "$(basename "$package")" &&
            sha256sum -c "$(basename "$checksums")") &&
        (($(wc -l <"$checksums") == 1 + $(unzip -Z1 "$package" | grep -c '/moskel\.scr$')))
}
