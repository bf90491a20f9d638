#!/usr/bin/env bash
# Configures (once) and builds everything in build/.
set -euo pipefail
# Objects compiled in another checkout of the same sources are reused.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "$0")/.." && pwd)}" CCACHE_NOHASHDIR=1
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  launcher=()
  # ccache keeps compiled objects across clean checkouts on the same machine.
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
cmake --build build --parallel "$(nproc)"
