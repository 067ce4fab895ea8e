#!/usr/bin/env bash
# Builds the editor and starts it on the installed game, or, when no
# installation is recorded, inside a generated demo installation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# A build folder of its own: the test script's configuration never forces a
# rebuild here, nor this one there.
build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX3_BENCH=OFF >/dev/null
cmake --build "$build" --target kx3edit kx3demo-make
if "$build/kx3demo" --find-installation; then
    exec "$build/kx3edit"
fi
demo="$root/demo"
if [ ! -f "$demo/Data/club.Dat" ]; then
    "$build/kx3demo" "$demo" 3000
fi
echo "No game installation found; starting on the demo database in $demo"
cd "$demo"
exec "$build/kx3edit"
