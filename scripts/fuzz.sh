#!/usr/bin/env bash
# Runs every libFuzzer target for a fixed time from the committed seed corpus.
#   scripts/fuzz.sh                 20 s per target (what CI runs)
#   scripts/fuzz.sh 3600            an hour per target
#   scripts/fuzz.sh 600 fuzz_decode one target
# Needs the sanitizer build of scripts/sanitize.sh (FUZZ_BUILD_DIR or SANITIZE_BUILD_DIR may
# name another build made with -DPX417_SANITIZE=ON -DPX417_FUZZ=ON). New interesting inputs go to
# <build>/fuzz-work/<target>; set FUZZ_KEEP_CORPUS=1 to merge them into fuzz/corpus
# afterwards. A finding is saved as <build>/fuzz-artifacts/<target>/crash-* and fails the run;
# replay it with: <build>/fuzz/<target> <file>
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${FUZZ_BUILD_DIR:-${SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}}"
SECONDS_PER_TARGET="${1:-20}"
shift || true
TARGETS=("$@")
if ((${#TARGETS[@]} == 0)); then
    TARGETS=(fuzz_reception fuzz_decode fuzz_discovery)
fi

source "$ROOT/scripts/sanitizer-env.sh"

if [ ! -x "$BUILD/fuzz/${TARGETS[0]}" ]; then
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPX417_SANITIZE=ON -DPX417_FUZZ=ON -DPX417_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)" --target "${TARGETS[@]}"

# Long enough for fields past the 4 KiB bound of unterminated text.
declare -A MAX_LEN=([fuzz_reception]=16384 [fuzz_decode]=8192 [fuzz_discovery]=2048)

status=0
passed=0
failed=0
for target in "${TARGETS[@]}"; do
    work="$BUILD/fuzz-work/$target"
    artifacts="$BUILD/fuzz-artifacts/$target"
    mkdir -p "$work" "$artifacts"
    log="$BUILD/fuzz-work/$target.log"
    echo "== $target: ${SECONDS_PER_TARGET} s"
    if "$BUILD/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
        -rss_limit_mb=2048 -max_len="${MAX_LEN[$target]:-4096}" -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work" "$ROOT/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | sed 's/^/   /'
        passed=$((passed + 1))
    else
        status=1
        failed=$((failed + 1))
        echo "   FINDING in $target; input saved in $artifacts:"
        grep -E 'ERROR|invariant broken|runtime error|Test unit written' "$log" | head -5 | sed 's/^/   /'
    fi
    if [ "${FUZZ_KEEP_CORPUS:-0}" = 1 ]; then
        "$BUILD/fuzz/$target" -merge=1 "$ROOT/fuzz/corpus/$target" "$work" >/dev/null 2>&1
    fi
done
echo "fuzz: $passed passed, $failed failed"
exit "$status"
