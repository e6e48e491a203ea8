#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (clang, with the fuzz
# targets) into build-sanitize/ and runs the whole test suite there. The first sanitizer
# report ends the test process with a failure, so any report fails the run.
#   scripts/sanitize.sh            build and test
#   SANITIZE_BUILD_DIR=... scripts/sanitize.sh
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"

source "$ROOT/scripts/sanitizer-env.sh"

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPX417_SANITIZE=ON -DPX417_FUZZ=ON -DPX417_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"

cd "$BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
