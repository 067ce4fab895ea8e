#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian or Ubuntu;
# with --fuzz also clang and its libFuzzer runtime, for scripts/fuzz.sh.
set -euo pipefail
# desktop-file-utils and appstream validate the installed menu entry and
# software-centre description in the install test; libxxhash-dev gives the
# save journal its checksums.
packages=(g++ cmake ninja-build qt6-base-dev libicu-dev libxxhash-dev libbenchmark-dev
          desktop-file-utils appstream)
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
