#!/usr/bin/env bash
# Builds the Debian package BUILD_DIR/zelvara_<version>_amd64.deb with CPack
# and checks it with lintian (no errors allowed).
#   scripts/package.sh [BUILD_DIR]   (default: build)
#
# Lintian warnings accepted (see README.md, "Debian package"):
#   hardening-no-fortify-functions  the build flags are CMake's, not
#                                   dpkg-buildflags'; nothing to fortify was found
#                                   in some objects
#   no-manual-page / binary-without-manpage  none expected: both programs have one
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# What is installed: the two programs, the data, the icons and the compressed
# manual pages and changelog. (CPack builds the rest of "all" too unless the
# build folder was configured with -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON.)
cmake --build "$build" --target zelvara zelvara-cli zelvara_data zelvara_icons zelvara_compressed_docs \
  --parallel "$(nproc)"
rm -f "$build"/zelvara_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zelvara_*_amd64.deb)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
# Nothing outside /usr.
if dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v -E '^\./(usr(/|$))?$'; then
  echo "files outside /usr in $deb" >&2
  exit 1
fi
lintian --fail-on error "$deb"
