#!/usr/bin/env bash
# Builds the Debian package from a built folder and checks it as a user meets
# it: its control fields and its files (those and no others), the desktop
# entry and the AppStream metainfo by their validators, the icon's sizes, and
# then the installed tool started and closed once by an ordinary user on a
# virtual display, who must find its layout in ~/.config/tarnwick and nothing
# written beside the program. Leaves nothing behind but, when the tool does
# not end, a screenshot in the build folder.
# Usage: scripts/package-check.sh [build-folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
# cpack finds the dependencies with dpkg-shlibdeps (dpkg-dev) on the files that
# file calls executables.
scripts/install-missing.sh dpkg-dev file desktop-file-utils appstream imagemagick xvfb openbox xdotool x11-utils

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { echo "package-check: $*" >&2; exit 1; }
ok() { echo "ok  $*"; }

# --- The package: fields and files.
version=$(sed -n 's/^project(Tarnwick VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/package/tarnwick_${version}_$arch.deb"
[ -f "$deb" ] || fail "cpack wrote no $(basename "$deb"): $(ls "$work/package")"
dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)/$(field Version)/$(field Architecture)" = "tarnwick/$version/$arch" ] ||
  fail "package is $(field Package) $(field Version) $(field Architecture), not tarnwick $version $arch"
for name in Maintainer Section Description; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done
# Found by dpkg-shlibdeps: without them apt would install a program that cannot start.
field Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries: $(field Depends)"
ok "tarnwick $version $arch, depends on $(field Depends)"

expected="./usr/bin/tarnwick
./usr/bin/tarnwick-board
./usr/bin/tarnwick-ctl
./usr/share/applications/tarnwick.desktop
./usr/share/icons/hicolor/128x128/apps/tarnwick.png
./usr/share/icons/hicolor/256x256/apps/tarnwick.png
./usr/share/icons/hicolor/48x48/apps/tarnwick.png
./usr/share/icons/hicolor/scalable/apps/tarnwick.svg
./usr/share/metainfo/tarnwick.metainfo.xml"
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
[ "$files" = "$expected" ] ||
  fail "the package holds other files than the tool's: $(diff <(echo "$expected") <(echo "$files") || true)"
ok "the programs, desktop entry, icons and metainfo, nothing else"

# --- The desktop files, from the package.
root="$work/root"
dpkg-deb -x "$deb" "$root"
# It reports hints and warnings without failing: the entry must draw none.
if ! report=$(desktop-file-validate "$root/usr/share/applications/tarnwick.desktop" 2>&1) || [ -n "$report" ]; then
  fail "desktop-file-validate: $report"
fi
appstreamcli validate --no-net "$root/usr/share/metainfo/tarnwick.metainfo.xml" ||
  fail "appstreamcli found faults in the metainfo"
for size in 48 128 256; do
  found=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x$size/apps/tarnwick.png")
  [ "$found" = "${size}x$size" ] || fail "the ${size}x$size icon is $found"
done
ok "desktop entry and metainfo valid, icons of their sizes"

# --- The installed tool, run once by an ordinary user (nobody) with a new home
# and session folder and no XDG_CONFIG_HOME. Root could write anywhere; nobody
# cannot write beside the program, as a user of an installed program cannot.
chmod 755 "$work"
home="$work/home"
runtime="$work/runtime"
install -d -o nobody -g nogroup "$home"
install -d -m 700 -o nobody -g nogroup "$runtime"
find "$root" | sort >"$work/root-before"

. scripts/virtual-display.sh
start_virtual_display 1280x800 || fail "no virtual display"
# The window manager's close is what the user does; it needs the manager ready.
scripts/wait-window-manager.sh 5 || true

setpriv --reuid=nobody --regid=nogroup --clear-groups \
  env -i HOME="$home" XDG_RUNTIME_DIR="$runtime" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
  "$root/usr/bin/tarnwick" >"$work/tarnwick.log" 2>&1 &
tool=$!
pids+=("$tool")

names() { for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do printf '"%s" ' "$(xdotool getwindowname "$id")"; done; }
# Prints the id of the visible window whose name matches, once there is one.
window() {
  for _ in $(seq 200); do
    kill -0 "$tool" 2>/dev/null || fail "tarnwick ended early: $(cat "$work/tarnwick.log")"
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return
    sleep 0.1
  done
  fail "no window \"$1\" within 20 s; the windows: $(names)"
}
gone() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window \"$1\" stays; the windows: $(names)"
}

# The port dialog's "Ok" has the focus: Enter closes it. Then the splash,
# while which the main window takes no close.
dialog=$(window '^Port dialog$')
xdotool windowactivate --sync "$dialog" key Return
window '^splash$' >/dev/null
gone '^splash$'
main=$(window '^Velkor Tarnwick \(v ')
xdotool windowactivate --sync "$main" key alt+F4
for _ in $(seq 200); do kill -0 "$tool" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$tool" 2>/dev/null; then
  import -window root "$build/package-check.png" 2>/dev/null || true
  fail "tarnwick did not end when its main window was closed; its windows: $(names)" \
       "(a \"Velkor Tarnwick\" box is its error message; screenshot: $build/package-check.png)"
fi
wait "$tool" || fail "tarnwick ended with status $?: $(cat "$work/tarnwick.log")"
ok "the installed tool started, showed the port dialog, the splash and its main window, and ended"

[ -f "$home/.config/tarnwick/tarnwick.ini" ] ||
  fail "no layout in ~/.config/tarnwick/tarnwick.ini; the new home holds: $(cd "$home" && find . -type f)"
find "$root" | sort | diff "$work/root-before" - >/dev/null ||
  fail "tarnwick wrote beside the installed program: $(find "$root" | sort | diff "$work/root-before" - || true)"
ok "layout saved in ~/.config/tarnwick/tarnwick.ini, nothing written beside the program"
