#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs every test there. Any report fails the run.
set -euo pipefail
# Objects compiled in another checkout of the same sources are reused.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "$0")/.." && pwd)}" CCACHE_NOHASHDIR=1
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ ! -f build-asan/CMakeCache.txt ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build build-asan --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
# The package test packs the build it runs in; a sanitizer build links the
# sanitizer runtimes, which no release package carries, so it is left to the
# ordinary run.
ctest --output-on-failure --timeout 1800 -j "$(nproc)" -E '^install_package$' "$@"
