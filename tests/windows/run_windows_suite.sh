#!/usr/bin/env bash
# The Windows suites, run from the native build's tests: cross-builds
# glyphcull.exe and its tests with mingw-w64 into BUILD_DIR and runs them under
# Wine. Exits 77 (reported as skipped) where the cross compiler or Wine is
# missing.
#
# Usage: run_windows_suite.sh SOURCE_DIR BUILD_DIR NATIVE_GLYPHCULL
set -euo pipefail
source_dir=$1
build_dir=$2
native_tool=$3

missing=()
command -v x86_64-w64-mingw32-g++ >/dev/null || missing+=("x86_64-w64-mingw32-g++ (g++-mingw-w64-x86-64)")
command -v wine >/dev/null || command -v wine64 >/dev/null || missing+=("wine (wine64)")
command -v tmux >/dev/null || missing+=("tmux")
if ((${#missing[@]})); then
  echo "SKIPPED: the Windows suites need ${missing[*]}" >&2
  exit 77
fi

cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DGLYPHCULL_NATIVE_TOOL="$native_tool" >/dev/null
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" --output-on-failure
