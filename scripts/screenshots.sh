#!/usr/bin/env bash
# Regenerates the screenshots in doc/ from a generated demo database: starts
# the editor under Xvfb, walks through every screen as a user would, and
# crops each view to the window. Needs xvfb, xauth, imagemagick and xdotool
# (installed here when missing).
#
# The clicks are positions in the fixed 609 x 474 window, centred on a
# 1024 x 768 screen; a form that moves a control needs its position here too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null \
    || ! command -v import >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    $sudo apt-get install -y -q xvfb xauth imagemagick xdotool
fi
build="${KX3_BUILD:-$root/build-release}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX3_BENCH=OFF >/dev/null
cmake --build "$build" --target kx3edit kx3demo-make >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/kx3demo" "$work/game" 800 >/dev/null

cat >"$work/walk.sh" <<WALK
set -e
cd "$work/game"
"$build/kx3edit" & pid=\$!
sleep 3
shot() { sleep 0.8; import -window root "$work/\$1.full.png"; }
click() { xdotool mousemove \$1 \$2 click 1; }
# Types into the search box at x, runs the search and opens the first row.
search() { click \$1 234; xdotool key ctrl+a; xdotool type "\$2"; click \$1 282; sleep 0.8
           xdotool mousemove \$1 \${3:-307} click --repeat 2 1; }
back() { click 272 597; sleep 0.6; }        # "Search" on the editor
shot splash
click 354 557; sleep 1.5                    # "Begin Editing"
shot search-main
click 467 597; sleep 1.5                    # "Table"
xdotool key ctrl+f; xdotool type "Age < 25 and Caps >= 1"; xdotool key Return
shot table-players
xdotool key Escape; sleep 0.6
search 311 a; shot player-general
click 327 197; shot player-attributes1
click 417 197; shot player-attributes2
click 507 197; shot player-misc
click 241 197
click 719 560; sleep 0.6                    # "Transfer"
search 710 a 326; shot transfer-menu
click 713 597; sleep 0.6                    # "Cancel"
back; search 510 a; shot staff-general
click 347 197; shot staff-attributes
back; search 710 a 310; shot club-general
click 338 198; shot club-players
back; click 414 597; sleep 0.6              # the other search menu
shot search-misc
search 438 a; shot nation-general
click 337 197; shot nation-misc
back; search 740 a; shot city
back; search 586 a; shot stadium
back; search 292 a; shot official
kill \$pid
WALK
xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/walk.sh"
for full in "$work"/*.full.png; do
    name=$(basename "$full" .full.png)
    convert "$full" -crop 609x474+207+147 +repage "$root/doc/$name.png"
done
echo "screenshots written to $root/doc"
