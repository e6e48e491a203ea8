#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, when missing,
# then configures and builds into build/. Sourced by run.sh and test.sh.
# PX417_BUILD_TARGETS: the targets to build (run.sh builds only what it runs); all when unset.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-serialport-dev libqt6serialport6 qt6-qpa-plugins libgl-dev
    libgtest-dev libbenchmark-dev
    libxlsxwriter-dev python3-openpyxl
    fonts-crosextra-carlito fonts-liberation2
    xvfb xauth imagemagick xdotool x11-utils
    libudev-dev udev util-linux locales
)
# Callers may ask for more: test.sh adds the clang tool chain of the sanitizer and fuzz builds.
PACKAGES+=(${PX417_EXTRA_PACKAGES:-})

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# The workbook export is tested under a German numeric locale, as a German desktop runs it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    echo "Generating the de_DE.UTF-8 locale"
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
# Every build below (this one, the sanitizer, fuzz and package builds) goes through the compiler
# cache, keyed on paths relative to the checkout, so a second clone or build folder rebuilds
# only what changed.
export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}" CCACHE_NOHASHDIR=1
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
read -r -a targets <<<"${PX417_BUILD_TARGETS:-}"
cmake --build "$BUILD_DIR" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
