#!/usr/bin/env bash
# Builds the editor and starts it on the installed game, or, when no
# installation is recorded, inside a generated demo installation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX3_BENCH=OFF >/dev/null
cmake --build "$root/build" --target kx3edit kx3demo-make
if "$root/build/kx3demo" --find-installation; then
    exec "$root/build/kx3edit"
fi
demo="$root/demo"
if [ ! -f "$demo/Data/club.Dat" ]; then
    "$root/build/kx3demo" "$demo" 3000
fi
echo "No game installation found; starting on the demo database in $demo"
cd "$demo"
exec "$root/build/kx3edit"
