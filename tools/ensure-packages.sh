#!/usr/bin/env bash
# Sourced by ./run.sh and ./test.sh: installs the Debian packages of tools/packages.txt that are missing.
# As root it runs apt-get; otherwise it names what is missing and stops.

ensure_packages() {
    local list="$1" missing=() pkg
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="${pkg//[[:space:]]/}"
        [ -n "$pkg" ] || continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done < "$list"
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || { echo "apt-get update failed" >&2; exit 1; }
    apt-get install -y -qq --no-install-recommends "${missing[@]}" || { echo "apt-get install failed" >&2; exit 1; }
}
