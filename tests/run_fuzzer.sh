#!/usr/bin/env bash
# A short fuzzing run: builds the libFuzzer target with clang into BUILD_DIR
# and runs it for SECONDS on the seed corpus and the marker dictionary. Any
# input that crashes it, or on which the run differs from the rules, fails the
# test; the input is left in BUILD_DIR as crash-*. Exits 77 (reported as
# skipped) where clang or its libFuzzer is missing.
#
# Usage: run_fuzzer.sh SOURCE_DIR BUILD_DIR [SECONDS]
set -euo pipefail
source_dir=$1
build_dir=$2
seconds=${3:-60}

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
  >"$probe/probe.cc"
if ! command -v clang++ >/dev/null ||
  ! clang++ -fsanitize=fuzzer "$probe/probe.cc" -o "$probe/probe" 2>/dev/null; then
  echo "SKIPPED: the fuzzer needs clang++ with libFuzzer (clang, libclang-rt-14-dev)" >&2
  exit 77
fi

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLYPHCULL_FUZZ=ON -DGLYPHCULL_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j2 --target glyphcull_fuzzer
corpus="$build_dir/corpus"
mkdir -p "$corpus"
cd "$build_dir"
./glyphcull_fuzzer -dict="$source_dir/fuzz/markers.dict" \
  -max_total_time="$seconds" -rss_limit_mb=512 -timeout=10 -print_final_stats=1 \
  "$corpus" "$source_dir/fuzz/corpus"
