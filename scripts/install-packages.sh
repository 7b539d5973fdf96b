#!/usr/bin/env bash
# install_packages PACKAGE...: installs those of the Debian packages that are missing
# (apt-get update first; through sudo when not root). Sourced by setup.sh and test-windows.sh.

install_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        local sudo=()
        if [ "$(id -u)" -ne 0 ]; then
            sudo=(sudo)
        fi
        echo "Installing: ${missing[*]}"
        "${sudo[@]}" apt-get update
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
            "${missing[@]}"
    fi
}
