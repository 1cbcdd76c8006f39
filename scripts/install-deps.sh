#!/usr/bin/env bash
# Installs the Debian packages that Wrenfold needs and this machine lacks; asks apt-get for nothing else.
# Usage: scripts/install-deps.sh run|test|bench
set -euo pipefail

build=(cmake g++ make qt6-base-dev libattr1-dev libacl1-dev)
tests=(libgtest-dev libx11-dev xvfb xdotool x11-utils xauth imagemagick clang libclang-rt-14-dev bindfs fuse3)
# The start-up benchmark builds on Xlib and runs its own X server; column (bsdextrautils) aligns the table.
bench=(libx11-dev xvfb bsdextrautils)

case "${1:-}" in
    run) wanted=("${build[@]}") ;;
    test) wanted=("${build[@]}" "${tests[@]}") ;;
    bench) wanted=("${build[@]}" "${bench[@]}") ;;
    *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages. Install them as root with:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
