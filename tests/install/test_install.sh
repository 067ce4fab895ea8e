#!/usr/bin/env bash
# Installs the editor into a scratch root, as `cmake --install` and the Debian
# package do, and checks what a user and a desktop get from it: the program
# runs from there, answers its command line without a display, and the menu
# entry and software-centre description are valid.
#
# test_install.sh BUILD_DIR KX3DEMO APP_ID
set -euo pipefail
build=$1
demo=$2
id=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs a command without any display; the window-less actions must not need one.
expect_status() { # WANTED COMMAND...
    local want=$1 got=0
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$@" >"$scratch/out" 2>"$scratch/err" \
        || got=$?
    [ "$got" -eq "$want" ] || fail "$* exited $got, wanted $want: $(cat "$scratch/err")"
}

check_tree() { # ROOT
    local root=$1 f
    for f in bin/kx3edit "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
        "share/icons/hicolor/scalable/apps/$id.svg" "share/icons/hicolor/48x48/apps/$id.png" \
        "share/icons/hicolor/256x256/apps/$id.png"; do
        [ -f "$root/$f" ] || fail "$root lacks $f"
    done
    expect_status 0 "$root/bin/kx3edit" --version
    grep -qx 'KX3 Pre-Data Editor [0-9.]*' "$scratch/out" || fail "--version: $(cat "$scratch/out")"
}

cmake --install "$build" --prefix "$scratch/root" >/dev/null
check_tree "$scratch/root"
kx3edit=$scratch/root/bin/kx3edit

expect_status 0 "$kx3edit" --help
grep -q -- '--check' "$scratch/out" || fail "--help does not mention --check"
expect_status 2 "$kx3edit" --no-such-option
grep -q "Unknown option 'no-such-option'" "$scratch/err" || fail "bad option: $(cat "$scratch/err")"

"$demo" "$scratch/game" 300 >/dev/null
expect_status 0 "$kx3edit" --check "$scratch/game"
grep -q '^Checked .*: no errors, no notes\.$' "$scratch/out" || fail "check: $(cat "$scratch/out")"
mkdir "$scratch/nothing"
expect_status 2 "$kx3edit" --check "$scratch/nothing"
grep -q 'Cannot open file' "$scratch/err" || fail "missing database: $(cat "$scratch/err")"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$scratch/root/share/applications/$id.desktop" \
        || fail "the desktop entry is not valid"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$scratch/root/share/metainfo/$id.metainfo.xml" >/dev/null \
        || fail "the metainfo file is not valid"
fi

# The Debian package holds the same tree under /usr and names Qt's runtime packages.
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
    cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null
    deb=$(ls "$scratch"/package/kx3edit_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    for p in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
        [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] \
            || fail "the package does not depend on $p: $depends"
    done
    dpkg-deb -x "$deb" "$scratch/deb"
    check_tree "$scratch/deb/usr"
fi
echo "install tree and package checked"
