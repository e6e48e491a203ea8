#!/usr/bin/env bash
# Builds the Debian package px417_<version>_<arch>.deb in its own folder (build-deb/, or
# $DEB_BUILD_DIR), so that it never reconfigures the development build in build/. Release,
# with the compiler and linker flags that dpkg-buildflags gives a Debian package, all hardening
# on (fortify, stack protector, relro, bind now). Prints the package's path last.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${DEB_BUILD_DIR:-$ROOT/build-deb}"
cd "$ROOT" # dpkg-buildflags maps this folder out of the debugging paths

export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
# CMake reads no CPPFLAGS, so fortify's define goes in with the compiler flags. The Release
# type adds only NDEBUG: the optimisation level is Debian's.
# The package's targets are built below; CPack need not build the rest (the artwork tool).
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DPX417_BUILD_TESTS=OFF -DPX417_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target px417 px417-meter-sim >&2
rm -f "$BUILD"/px417_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null 2>&1) || { echo "cpack failed" >&2; exit 1; }
ls "$BUILD"/px417_*.deb
