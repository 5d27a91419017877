#!/usr/bin/env bash
# Cross-builds the core and its tests for Windows with mingw-w64 and runs them
# under Wine, the serial port tests against the virtual board on a Wine COM
# port and through ser2net on a loopback port; builds the tool for Windows, with Qt built from Debian's source.
# Installs what is missing.
# Usage: scripts/test-windows.sh [build-folder]   (default: build-win)
# TARNWICK_BOARD may name a tarnwick-board program already built for Linux;
# otherwise one is built in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build-win}")
com=COM5  # the Wine COM port wired to the board
started=$SECONDS
step() { echo "== $1 (at $((SECONDS - started)) s)"; }

step "Packages"
scripts/install-missing.sh cmake ninja-build g++ googletest libgtest-dev libgmock-dev \
  g++-mingw-w64-x86-64-posix wine wine64 librsvg2-bin imagemagick nsis unzip \
  xvfb openbox xdotool x11-utils ser2net

# Optimised without debug information, which would double the build time;
# -O2, as the Linux build, since GCC 12 warns falsely about -O3's inlining.
toolchain=(-G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
           -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake")
gtest="$out/googletest-mingw"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  step "GoogleTest for mingw, from Debian's sources"
  cmake -S /usr/src/googletest -B "$out/googletest" "${toolchain[@]}" -DCMAKE_INSTALL_PREFIX="$gtest"
  cmake --build "$out/googletest" -j 2 --target install
fi

step "Core and tests for Windows"
cmake -S . -B "$out/tarnwick" "${toolchain[@]}" -DTARNWICK_WIDGETS=OFF -DCMAKE_PREFIX_PATH="$gtest"
cmake --build "$out/tarnwick" -j 2

step "Qt for mingw-w64, from Debian's source (once; then from its cache)"
qt=$(scripts/qt-mingw.sh | tail -n 1)
step "The tool for Windows"
cmake -S . -B "$out/tool" "${toolchain[@]}" -DBUILD_TESTING=OFF -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build "$out/tool" -j 2
step "The zip and the installer"
rm -f "$out"/tool/tarnwick-*-win64.*
(cd "$out/tool" && cpack > "$out/cpack.log")
zip=$(ls "$out"/tool/tarnwick-*-win64.zip)
installer=$(ls "$out"/tool/tarnwick-*-win64.exe)
# The program, what it loads, and nothing else.
shipped="Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll README.txt libgcc_s_seh-1.dll libstdc++-6.dll \
libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll tarnwick.exe"
listed=$(unzip -Z1 "$zip" | grep -v '/$' | sed 's|^[^/]*/||' | sort | xargs)
[ "$listed" = "$(echo $shipped)" ] || { echo "$zip holds: $listed" >&2; exit 1; }

board=${TARNWICK_BOARD:-}
if [ -z "$board" ]; then
  step "Virtual board for Linux"
  cmake -S . -B "$out/board" -G Ninja -DTARNWICK_WIDGETS=OFF
  cmake --build "$out/board" -j 2 --target tarnwick-board
  board="$out/board/tarnwick-board"
fi

# Wine in a prefix of its own, headless, without the prompts for Mono and
# Gecko, and quiet.
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "Wine prefix"
  wine wineboot --init
fi

board_pid=""
server_pid=""
pids=()  # of the virtual display
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  [ -z "$board_pid" ] || kill "$board_pid" 2>/dev/null || true
  wineserver -k > /dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

step "Board and $com"
"$board" --name "Tarnwick virtual board (Wine)" > "$out/board.log" &
board_pid=$!
for _ in $(seq 50); do [ -s "$out/board.log" ] && break; sleep 0.1; done
pty=$(head -n 1 "$out/board.log")
[ -c "$pty" ] || { echo "The virtual board gave no port: $(cat "$out/board.log")" >&2; exit 1; }
# Wine's own port table: at its start Wine links dosdevices/com5 to the pty
# and lists the port under HARDWARE\DEVICEMAP\SERIALCOMM, as Windows lists a
# real one. A bare dosdevices link would open but never be listed.
wine reg add 'HKLM\Software\Wine\Ports' /v "$com" /d "$pty" /f > /dev/null
wineserver -w
wineserver -p > /dev/null 2>&1  # one server for all test processes, ended by cleanup
# The first program starts Wine's services, which takes seconds: pay for it
# here rather than in the test discovery's time-out.
wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
link=$(readlink "$WINEPREFIX/dosdevices/${com,,}" || true)
[ "$link" = "$pty" ] || { echo "Wine did not map $com to $pty (it points to '$link')" >&2; exit 1; }

step "ser2net in front of the board, for Winsock"
# The first free loopback port from 27500; ser2net opens the board's pty only
# while a client is connected, so the COM port tests have it otherwise.
server_port=27500
while (exec 3<> "/dev/tcp/127.0.0.1/$server_port") 2> /dev/null; do server_port=$((server_port + 1)); done
printf '%s\n' 'connection: &board' \
  "  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,$server_port" \
  "  connector: serialdev,$pty,115200n81,local" \
  '  options:' '    chardelay: false' '    dev-to-net-bufsize: 8192' > "$out/ser2net.yaml"
ser2net -n -u -c "$out/ser2net.yaml" -P "$out/ser2net.pid" 2> "$out/ser2net.log" &
server_pid=$!
for _ in $(seq 50); do (exec 3<> "/dev/tcp/127.0.0.1/$server_port") 2> /dev/null && break; sleep 0.1; done

step "Tests under Wine"
TARNWICK_TEST_COM=$com TARNWICK_TEST_NETPORT="rfc2217://127.0.0.1:$server_port" \
  ctest --test-dir "$out/tarnwick" --output-on-failure

step "The tool under Wine on a virtual display, as a user works it"
# A screenshot of each step is kept in $shots. The clicks go to where the
# cells' buttons and the window's close box are on this 1600x900 screen.
wineserver -k > /dev/null 2>&1 || true  # the next server serves the display
shots="$out/wine-shots"
run="$out/tool-run"
rm -rf "$shots" "$run"
mkdir -p "$shots"
# From the zip, unpacked in a folder of its own: it runs from wherever it is put.
unzip -q "$zip" -d "$run"
run=$(ls -d "$run"/tarnwick-*-win64)
printf '%s\n' '[CHART]' 'MinX=0' 'MaxX=1023' 'GRAPH2=0' '[BOXES]' 'boxDynamic00=65 | GAIN' \
  'boxDynamic01=65 | READBACK' '[BUTTONS]' 'btnDynamic01=get_u' '[EDITS]' 'edtDynamic00=77' \
  > "$run/tarnwick.ini"
. scripts/virtual-display.sh
start_virtual_display 1600x900
scripts/wait-window-manager.sh
shot() { import -window root "$shots/$1.png"; }
fail() { shot failure; echo "The tool under Wine: $1 (screenshots in $shots)" >&2; exit 1; }
# xdotool dies of an X error when a window goes while it walks the window tree,
# and Wine makes and drops windows of its own: so a search is tried again until
# the window shows or SECONDS have passed. Prints the first window's id.
find_window() {  # NAME SECONDS
  local deadline=$((SECONDS + $2)) id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --name "$1" 2> /dev/null | head -n 1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.2
  done
  return 1
}
(cd "$run" && exec wine tarnwick.exe > "$out/tool-run.log" 2>&1) &
tool_pid=$!
dialog=$(find_window '^Port dialog$' 60) ||
  fail "no port dialog"
sleep 1
shot 1-port-dialog
# Wine's windows take clicks at screen coordinates: from the dialog's place.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 167)) $((Y + 7)) click 1  # the list: the ports of Wine's registry
sleep 0.7
shot 2-port-list
xdotool key Escape
xdotool mousemove $((X + 60)) $((Y + 7)) click 1   # the text: the user types the port
xdotool key ctrl+a
xdotool type --delay 30 "$com"
xdotool key Return
for _ in $(seq 100); do xdotool search --name '^Port dialog$' > /dev/null || break; sleep 0.1; done
sleep 1
shot 3-main-window
xdotool search --name '^Port error$' > /dev/null && fail "$com did not open"
xdotool mousemove 119 82 click 1   # cell 00 "set": 77 to register 65
sleep 1
xdotool mousemove 119 127 click 1  # cell 01 "get_u": register 65 read back
sleep 1.5
shot 4-set-and-read
xdotool search --name '^Port error$' > /dev/null && fail "a cell's exchange failed"
xdotool mousemove 62 34 click 1    # "Chart..."
chart=$(find_window '^Chart$' 20) || fail "no capture window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$chart")"
xdotool mousemove $((X + 210)) $((Y - 9)) click 1  # "Once"
sleep 2
shot 5-once
# Graph 1 alone, in its red: the block's I samples across the plot.
red=$(convert "$shots/5-once.png" -fill black +opaque 'rgb(255,0,0)' -fill white \
  -opaque 'rgb(255,0,0)' -format '%[fx:round(mean*w*h)]' info:)
[ "$red" -gt 2000 ] || fail "Once drew $red red pixels"
xdotool key alt+F4                 # the capture window closes
sleep 1
xdotool windowactivate "$(find_window '^Velkor Tarnwick' 10)"
xdotool key alt+F4                 # the user closes the main window: the layout is saved
for _ in $(seq 100); do kill -0 "$tool_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$tool_pid" 2>/dev/null && fail "the tool did not end when its window closed"
# The value read back is the board's: the field held 0 before.
expected="[USB]
BaudRate=115200
[CHART]
MaxY=10000
MaxX=1023
MinY=-10000
MinX=0
QAM=0
SPECTRUM=0
AVG=0
FFTCOMPLEX=0
GRAPH1=1
GRAPH2=0
AXIS=0
FREQ=150
[BOXES]
boxDynamic00=65 | GAIN
boxDynamic01=65 | READBACK
[EDITS]
edtDynamic00=77
edtDynamic01=77
[BUTTONS]
btnDynamic01=get_u"
[ "$(cat "$run/tarnwick.ini")" = "$expected" ] ||
  fail "tarnwick.ini reads: $(cat "$run/tarnwick.ini")"

step "The installer, silently under Wine, the installed tool started, and the uninstaller"
wine "$installer" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Tarnwick"
for file in $shipped Uninstall.exe \
    "../../ProgramData/Microsoft/Windows/Start Menu/Programs/Tarnwick/Tarnwick.lnk"; do
  [ -f "$installed/$file" ] || fail "the installer left no $file"
done
(cd "$installed" && exec wine tarnwick.exe > "$out/installed-run.log" 2>&1) &
find_window '^Port dialog$' 60 > /dev/null ||
  fail "the installed tool showed no port dialog"
sleep 1
shot 6-installed
wineserver -k
wine "$installed/Uninstall.exe" /S
wineserver -w
[ ! -e "$installed/tarnwick.exe" ] || fail "the uninstaller left tarnwick.exe"
step "Done"
