#!/usr/bin/env bash
# Cross-builds PX417 for 64-bit Windows on Debian 12 with mingw-w64, from Debian packages only.
#
#   scripts/build-windows.sh [--test]
#
# Installs what it needs with apt when missing, builds the toolchain pieces that Debian has only
# as source (Qt's base modules, libxlsxwriter, GoogleTest) once into a cache folder outside the
# checkout, then configures and builds the tree into the build folder. --test runs the tests
# under Wine afterwards (CTest, with Wine as the cross-compiling emulator).
#
# PX417_WINDOWS_CACHE: the cache (default ~/.cache/px417-windows). Each piece sits in a folder
#   named after its Debian version and a hash of its build options, and is built only when that
#   folder is missing or unfinished; a new Debian version or other options build it anew beside
#   the old one.
# PX417_WINDOWS_BUILD_DIR: the build folder (default build-windows/ in the checkout).
# PX417_LINUX_BUILD_DIR: a Linux build of the same checkout (default build/), whose simulated
#   meter and reader the tests under Wine (tests/windows) play against.
# Exit status 77: mingw-w64 or Wine cannot be installed here, so nothing was built.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${PX417_WINDOWS_CACHE:-$HOME/.cache/px417-windows}"
BUILD="${PX417_WINDOWS_BUILD_DIR:-$ROOT/build-windows}"
TOOLCHAIN="$ROOT/cmake/windows/mingw-w64-x86_64.cmake"
JOBS="$(nproc)"
run_tests=0
[ "${1:-}" = "--test" ] && run_tests=1

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# --- Packages ---
PACKAGES=(
    cmake ninja-build ccache dpkg-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev binutils-mingw-w64-x86-64
    qt6-base-dev-tools googletest
    wine wine64 xvfb xauth fonts-crosextra-carlito fonts-liberation2
    nsis zip unzip librsvg2-bin imagemagick xdotool
)
missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if ! { $SUDO apt-get update -q &&
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
            "${missing[@]}"; }; then
        echo "build-windows: cannot install ${missing[*]}; the Windows build is skipped" >&2
        exit 77
    fi
fi

# The sources come from Debian's own source packages: a deb-src entry beside every deb entry,
# same mirror and suites, unless one is there already.
sources_available() { apt-cache showsrc "$1" 2>/dev/null | grep -q '^Package:'; }
if ! sources_available qt6-base; then
    list=/etc/apt/sources.list.d/px417-deb-src.sources
    echo "Adding deb-src entries as $list"
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] || continue
            # deb822: every paragraph of type deb again as deb-src.
            awk 'BEGIN { RS = ""; ORS = "\n\n" } /(^|\n)Types:([^\n]* )?deb( |\n|$)/ {
                     sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
        done
    } | $SUDO tee "$list.tmp" >/dev/null
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list |
            $SUDO tee /etc/apt/sources.list.d/px417-deb-src.list >/dev/null
    fi
    if [ -s "$list.tmp" ]; then $SUDO mv "$list.tmp" "$list"; else $SUDO rm -f "$list.tmp"; fi
    $SUDO apt-get update -q
fi

export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}" CCACHE_NOHASHDIR=1
mkdir -p "$CACHE/src"

# debian_version PACKAGE: the installed version, which is the source version the piece is
# built from.
debian_version() { dpkg-query -W -f='${Version}' "$1"; }
options_hash() { printf '%s\n' "$@" | sha256sum | cut -c1-10; }

# source_tree SOURCE VERSION: unpacks Debian's source package once (patches applied) and
# prints its folder.
source_tree() {
    local upstream="${2#*:}"
    upstream="${upstream%-*}"
    local dir="$CACHE/src/$1-$upstream"
    if [ ! -f "$dir/.px417-unpacked" ]; then
        rm -rf "$dir"
        (cd "$CACHE/src" && apt-get source -q "$1=$2" >&2)
        touch "$dir/.px417-unpacked"
    fi
    echo "$dir"
}

# cmake_piece NAME KEY SOURCE OPTIONS...: configures, builds and installs a CMake project for
# Windows into CACHE/NAME-KEY, unless a finished one is there. A stamp marks it finished, so an
# interrupted build is resumed, never used.
cmake_piece() {
    local name="$1" key="$2" source="$3"
    shift 3
    local prefix="$CACHE/$name-$key" build="$CACHE/$name-$key.build"
    if [ -f "$prefix/.px417-built" ]; then
        echo "$prefix"
        return
    fi
    echo "Building $name for Windows into $prefix (once; cached for later runs)" >&2
    local started=$SECONDS
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@" >"$build.log" 2>&1 &&
        cmake --build "$build" -j "$JOBS" >>"$build.log" 2>&1 &&
        cmake --install "$build" >>"$build.log" 2>&1 ||
        {
            echo "build-windows: building $name failed; see $build.log" >&2
            tail -20 "$build.log" >&2
            exit 1
        }
    printf '%s\n' "$name $key" "$@" >"$prefix/.px417-built"
    echo "$name took $((SECONDS - started)) s" >&2
    rm -rf "$build"
    echo "$prefix"
}

# --- Qt: Core, Gui, Widgets, Test, the windows and offscreen platforms, the Vista style ---
# Against the host tools of qt6-base-dev-tools, so the source must be the same version. FreeType
# (bundled) is what the offscreen platform needs; direct2d stays off, and with it directwrite3,
# which the windows platform of this version builds only together.
QT_OPTIONS=(
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF
    -DFEATURE_opengl=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_harfbuzz=ON
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_fontconfig=OFF -DFEATURE_vulkan=OFF -DFEATURE_androiddeployqt=OFF
)
# Two changes to the windows platform plugin, applied once to a freshly unpacked source; their
# text is part of the key. Debian's repacked source drops the Wintab header (src/3rdparty/wintab)
# that the plugin includes for tablets; without it a pen still works as a mouse through the
# system's pointer messages. And with OpenGL off, one place still calls the dynamic GL loader.
mend_qt_source() {
    [ -f "$1/.px417-mended" ] && return
    (
        cd "$1/src/plugins/platforms/windows"
        sed -i 's/#\( *\)if QT_CONFIG(tabletevent)$/#\1if 0 \/\/ no Wintab header in the Debian source/' \
            qwindowspointerhandler.h qwindowspointerhandler.cpp qwindowscontext.cpp
        sed -i 's/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE/' \
            CMakeLists.txt
        sed -i '2296s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
            qwindowswindow.cpp
    )
    touch "$1/.px417-mended"
}
qt_version="$(debian_version qt6-base-dev-tools)"
qt_key="$qt_version-$(options_hash "${QT_OPTIONS[@]}" "$(declare -f mend_qt_source)")"
if [ -f "$CACHE/qt-$qt_key/.px417-built" ]; then
    QT="$CACHE/qt-$qt_key"
else
    qt_source="$(source_tree qt6-base "$qt_version")"
    mend_qt_source "$qt_source"
    # The compiler cache would only fill up with Qt's objects.
    QT="$(CMAKE_CXX_COMPILER_LAUNCHER= CMAKE_C_COMPILER_LAUNCHER= cmake_piece qt "$qt_key" \
        "$qt_source" "${QT_OPTIONS[@]}")"
fi

# --- libxlsxwriter: static, its own minizip, zlib from libz-mingw-w64-dev linked in ---
XLSX_OPTIONS=(
    -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
)
xlsx_version="$(apt-cache showsrc libxlsxwriter | sed -n 's/^Version: //p' | sort -V | tail -1)"
xlsx_key="$xlsx_version-$(options_hash "${XLSX_OPTIONS[@]}")"
if [ -f "$CACHE/libxlsxwriter-$xlsx_key/.px417-built" ]; then
    XLSX="$CACHE/libxlsxwriter-$xlsx_key"
else
    XLSX="$(cmake_piece libxlsxwriter "$xlsx_key" "$(source_tree libxlsxwriter "$xlsx_version")" \
        "${XLSX_OPTIONS[@]}")"
fi

# --- GoogleTest, from Debian's googletest package ---
GTEST_OPTIONS=(-DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON)
gtest_key="$(debian_version googletest)-$(options_hash "${GTEST_OPTIONS[@]}")"
GTEST="$(cmake_piece googletest "$gtest_key" /usr/src/googletest "${GTEST_OPTIONS[@]}")"

# --- PX417 ---
# Warnings are errors here: the tree builds for Windows without any, and an incremental build
# that skips a file would otherwise hide them.
echo "Building PX417 for Windows into $BUILD"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    "-DPX417_WINDOWS_PREFIX=$QT;$XLSX;$GTEST" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DPX417_BUILD_BENCH=OFF \
    -DPX417_LINUX_BUILD_DIR="${PX417_LINUX_BUILD_DIR:-$ROOT/build}" >/dev/null
cmake --build "$BUILD" -j "$JOBS"

if ((run_tests)); then
    # A fresh prefix for every run; the wineserver stays up for the whole run, so the many
    # short test processes do not each start one. The prefix's environment stays out of CTest's:
    # the scripts of tests/windows make prefixes of their own.
    rm -rf "$BUILD/wine"
    wine_env() {
        # shellcheck source=wine-env.sh
        source "$ROOT/scripts/wine-env.sh" "$BUILD/wine" "$BUILD" && "$@"
    }
    (wine_env px417_wine_init && wineserver -p </dev/null >/dev/null 2>&1)
    status=0
    (cd "$BUILD" && ctest --output-on-failure -j "$JOBS" --timeout 300) || status=$?
    (wine_env px417_wine_stop)
    exit "$status"
fi
