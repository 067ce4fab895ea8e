#!/usr/bin/env bash
# Builds the editor's Debian package, build-package/kx3edit_<version>_<arch>.deb,
# and prints its path. Install it with: sudo apt install ./build-package/kx3edit_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build-package"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX3_BENCH=OFF >/dev/null
# Only the program goes into the package: the tests are not built for it.
cmake --build "$build" --target kx3edit
rm -f "$build"/kx3edit_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/kx3edit_*.deb
