#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine when needed, builds, and runs every test through CTest.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")" && pwd)"
# clang, its sanitizer run-times and libFuzzer, for the hardening runs below.
PX417_EXTRA_PACKAGES="clang libclang-rt-14-dev"
source "$ROOT/scripts/setup.sh"
(cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then every
# fuzz target for a short fixed time (docs/RELIABILITY.md).
"$ROOT/scripts/sanitize.sh"
"$ROOT/scripts/fuzz.sh" 20
