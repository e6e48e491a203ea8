# Sanitizer run-time options shared by scripts/sanitize.sh and scripts/fuzz.sh (sourced).
# halt_on_error with -fno-sanitize-recover=all: the first report aborts the process.
# Leak checking stays on; no suppressions are needed today. Should a system library (Qt's
# font or platform plugins, fontconfig) ever leak at exit on some machine, add a narrow
# "leak:<library or function>" line with the reason to scripts/lsan.supp.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0"
