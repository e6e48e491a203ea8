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
