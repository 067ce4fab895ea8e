#!/usr/bin/env bash
# Regenerates the screenshots in doc/ from a generated demo database: starts
# the editor under Xvfb, walks through every screen as a user would, and
# crops each view to the window. Needs xvfb, xauth, imagemagick and xdotool
# (installed here when missing).
#
# The clicks are positions in the 609 x 474 panels of the window, centred
# with the status bar below them (609 x 496) on a 1024 x 768 screen, as they
# were measured before the status bar: 11 pixels higher now; a form that
# moves a control needs its position here too. A second
# run shows the main search menu and the player screen at 609 x 474 and at
# 1280 x 800 side by side. The editor runs with a settings folder of its own,
# so a size and place remembered from real use do not move the clicks.
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
click() { xdotool mousemove \$1 \$((\$2 - 11)) click 1; }
# Types into the search box at x, runs the search and opens its result number
# n (the first when not given), from the keyboard: the rows are not counted.
pick() { xdotool key Tab space; for ((i = 1; i < \${1:-1}; ++i)); do xdotool key Down; done
         xdotool key Return; }
search() { click \$1 234; xdotool key ctrl+a; xdotool type "\$2"; click \$1 282; sleep 0.8
           pick \$3; }
back() { click 243 597; sleep 0.6; }        # "Search" on the editor
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
search 710 a 2; shot transfer-menu
click 713 597; sleep 0.6                    # "Cancel"
back; search 510 a; shot staff-general
click 347 197; shot staff-attributes
back; search 710 a; shot club-general
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
export XDG_CONFIG_HOME="$work/config"
xvfb-run -a -s '-screen 0 1024x768x24' bash "$work/walk.sh"
for full in "$work"/*.full.png; do
    name=$(basename "$full" .full.png)
    convert "$full" -crop 609x496+207+136 +repage "$root/doc/$name.png"
done
rm -f "$work"/*.full.png

# The window is moved to the screen's corner; what stands at the top left of a
# panel stays there at any size, so only the editor's foot row moves down.
cat >"$work/sizes.sh" <<SIZES
set -e
cd "$work/game"
"$build/kx3edit" & pid=\$!
sleep 3
win=\$(xdotool search --onlyvisible --name 'KX3 Pre-Data Editor' | head -1)
xdotool windowmove \$win 0 0; sleep 0.5
shot() { sleep 0.8; import -window root "$work/sized/window-\$1-\$2.png"; }
click() { xdotool mousemove \$1 \$2 click 1; }
click 147 410; sleep 1.5                    # "Begin Editing"
for size in 609x496 1280x800; do
    xdotool windowsize \$win \${size%x*} \${size#*x}; sleep 1
    click 104 87; xdotool key ctrl+a; xdotool type a; click 104 135; shot \$size search
    xdotool key Tab space Return; shot \$size player
    click 300 50; shot \$size player-misc
    click 34 50; click 36 \$((\${size#*x} - 46)); sleep 0.6     # "General", "Search"
done
kill \$pid
SIZES
mkdir "$work/sized"
xvfb-run -a -s '-screen 0 1600x1000x24' bash "$work/sizes.sh"
for full in "$work"/sized/*.png; do
    name=$(basename "$full")
    size=$(grep -o '[0-9]*x[0-9]*' <<<"$name")
    convert "$full" -crop "$size+0+0" +repage "$root/doc/$name"
done
echo "screenshots written to $root/doc"
