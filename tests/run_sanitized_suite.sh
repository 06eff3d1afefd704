#!/usr/bin/env bash
# The native suite once more, built by clang with AddressSanitizer and UBSan
# into BUILD_DIR: any memory error or undefined behaviour fails a test. Exits
# 77 (reported as skipped) where clang is missing.
#
# Usage: run_sanitized_suite.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2

if ! command -v clang++ >/dev/null; then
  echo "SKIPPED: the sanitizer suite needs clang++ (clang)" >&2
  exit 77
fi

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLYPHCULL_SANITIZE=ON >/dev/null
cmake --build "$build_dir" -j2
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build_dir" --output-on-failure
