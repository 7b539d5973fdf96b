# Shared by the stages of build-windows.sh: where the cached builds live, how a stage names
# its cache folder after its inputs, and the Debian sources it starts from.
# shellcheck shell=bash

# The stages print their results, so they run in command substitutions: a failure there must
# stop the build too.
shopt -s inherit_errexit

windows_cache=${INKVALE_WINDOWS_CACHE:-/var/cache/inkvale-windows}
mingw=x86_64-w64-mingw32
jobs=${INKVALE_WINDOWS_JOBS:-2}

# niced COMMAND...: runs a long compile at niceness 10, where other builds on a shared machine
# usually run too; a lower priority would starve it against them.
niced() {
    local now
    now=$(nice)
    if ((now < 10)); then
        nice -n $((10 - now)) "$@"
    else
        "$@"
    fi
}

# The source folders from apt-get source need a deb-src entry; Debian 12's images ship only
# binary ones.
ensure_deb_src() {
    if grep -rqs '^\(Types: *\)\?deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" tee /etc/apt/sources.list.d/inkvale-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${sudo[@]}" apt-get update
}

# unpacked_source PACKAGE: prints the folder of PACKAGE's unpacked source, fetching it into
# the cache first when it is not there. The newest version the archive serves wins: a mirror
# may list a security update whose files it does not have yet.
unpacked_source() {
    local package=$1 version folder
    for version in $(apt-cache showsrc "$package" | awk '/^Version:/ { print $2 }' | sort -rV); do
        folder="$windows_cache/src/$package-$version"
        if [ ! -e "$folder/.unpacked" ]; then
            rm -rf "$folder"
            mkdir -p "$folder"
            if ! (cd "$folder" && apt-get source -q "$package=$version" >&2); then
                echo "No source of $package $version from the archive; trying an older one" >&2
                rm -rf "$folder"
                continue
            fi
            touch "$folder/.unpacked"
        fi
        find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1
        return
    done
    echo "The archive serves no source of $package" >&2
    return 1
}

# stage_key TEXT...: a short digest of a stage's inputs (source versions, the stage's own
# script, the compiler), which names its cache folder so that a change of any rebuilds it.
stage_key() {
    {
        printf '%s\n' "$@"
        "$mingw-g++-posix" --version | head -n 1
    } | sha256sum | cut -c 1-16
}

# Whether the cross-built parts are in the cache, made by an earlier build-windows.sh; a
# build with them takes minutes, one without them most of an hour.
windows_cache_ready() {
    [ -e "$windows_cache/ready" ]
}
