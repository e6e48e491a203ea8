#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine when needed, builds, and runs every test through CTest.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")" && pwd)"
# clang, its sanitizer run-times and libFuzzer, for the hardening runs below; the Debian
# package tools and checkers for the package check; the virtual machine of the real-USB test
# (tests/usb), which fetches Debian's kernel package itself.
PX417_EXTRA_PACKAGES="clang libclang-rt-14-dev dpkg-dev file lintian desktop-file-utils appstream
    qemu-system-x86 busybox-static"
source "$ROOT/scripts/setup.sh"
(cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300)

# The Debian package, in its own build folder, against lintian, desktop-file-validate and
# appstreamcli validate.
"$ROOT/scripts/package-lint.sh"

# Every fuzz target for a short fixed time, then the whole suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer, in the same instrumented build (docs/RELIABILITY.md).
"$ROOT/scripts/fuzz.sh" 20
"$ROOT/scripts/sanitize.sh"

# The Windows stage (scripts/build-windows.sh): the cross-build with mingw-w64, its toolchain
# pieces built once into ~/.cache/px417-windows, then the Windows build's CTest under Wine: the
# tests that need no Unix, the whole download through the Windows serial line against the Linux
# simulator of build/, and the zip and installer. Where mingw-w64 or Wine cannot be installed
# it is skipped, and says so.
windows=0
PX417_LINUX_BUILD_DIR="$BUILD_DIR" "$ROOT/scripts/build-windows.sh" --test || windows=$?
if [ "$windows" -eq 77 ]; then
    echo "SKIPPED: the Windows stage (mingw-w64 or Wine cannot be installed here)" >&2
elif [ "$windows" -ne 0 ]; then
    exit "$windows"
fi
