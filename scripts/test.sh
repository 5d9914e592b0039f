#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine (as root), builds, and runs every test:
# once in the normal build and once under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/setup-deps.sh

run_suite() {
  local dir=$1 type=$2
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure --timeout 900
}

run_suite build RelWithDebInfo
if [ "${TAVRIN_SKIP_ASAN:-0}" != 1 ]; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan Asan
fi
