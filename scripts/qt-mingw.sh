#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source package, the
# same version as the Linux build's, with Debian's mingw-w64 (posix threads)
# and the installed Linux Qt as host tools. Only what the tool uses: Core,
# Gui, Widgets, the Windows platform plugin and the styles; shared
# libraries, with zlib, PNG, HarfBuzz and PCRE2 bundled.
#
# The result goes to a cache outside the clone, one folder per source
# version, configuration and patches, so that a second run finds it complete
# and does nothing. Prints that folder (the CMAKE_PREFIX_PATH for the tool's
# Windows build) as its last line.
# Usage: scripts/qt-mingw.sh
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
started=$SECONDS
step() { echo "== $1 (at $((SECONDS - started)) s)" >&2; }

scripts/install-missing.sh dpkg-dev cmake ninja-build g++-mingw-w64-x86-64-posix \
  qt6-base-dev qt6-base-dev-tools >&2

# apt-get source needs a deb-src entry. Where the system has none, one is
# added beside its own entries, for the same release and mirror.
if ! apt-cache showsrc qt6-base 2> /dev/null | grep -q '^Version:'; then
  sources=/etc/apt/sources.list.d/tarnwick-deb-src.sources
  echo "Adding $sources: Debian's source packages, for qt6-base" >&2
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  sed -n '/^Types:.*deb/,/^$/p' /etc/apt/sources.list.d/debian.sources 2> /dev/null |
    sed 's/^Types:.*/Types: deb-src/' | $sudo tee "$sources" > /dev/null
  [ -s "$sources" ] || printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\n' \
    "$(. /etc/os-release && echo "$VERSION_CODENAME")" | $sudo tee "$sources" > /dev/null
  $sudo apt-get update >&2
fi
version=$(apt-cache showsrc qt6-base | sed -n 's/^Version: //p' | sort -V | tail -1)

# What the tool does not use stays out: less to build, less to ship.
features=(
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF
  -DFEATURE_fontconfig=OFF -DFEATURE_jpeg=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
  # Debian's repacked source lacks the tablet support's third-party code.
  -DFEATURE_tabletevent=OFF
  # Gui builds the DirectWrite font database only with Direct2D, which the
  # Windows plugin then asks for.
  -DFEATURE_directwrite3=OFF
)
patches=(scripts/qt-mingw/*.patch)
[ -e "${patches[0]}" ] || patches=()
key=$( (echo "$version"; printf '%s\n' "${features[@]}"; cat cmake/mingw-w64.cmake "${patches[@]}") |
  sha256sum | cut -c1-16)
. scripts/cache-folder.sh
cache=$tarnwick_cache
prefix="$cache/qt-mingw-$version-$key"
if [ -f "$prefix/complete" ]; then
  echo "$prefix"
  exit 0
fi

work="$cache/qt-mingw-work"
rm -rf "$work" "$prefix"
mkdir -p "$work"
step "qt6-base $version source"
(cd "$work" && apt-get source --only-source qt6-base="$version" >&2)
source=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
for patch in "${patches[@]}"; do
  step "Patch $(basename "$patch")"
  patch -d "$source" -p1 --forward < "$repo/$patch" >&2
done

step "Configure"
cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${features[@]}" >&2
step "Build"
cmake --build "$work/build" -j "$(nproc)" >&2
cmake --install "$work/build" >&2
rm -rf "$work"
touch "$prefix/complete"
step "Qt for mingw-w64 in $prefix"
echo "$prefix"
