#!/usr/bin/env bash
# Builds the Debian package BUILD_DIR/zelvara_<version>_amd64.deb with CPack
# and checks it with lintian (no errors allowed).
#   scripts/package.sh [BUILD_DIR]   (default: build)
#
# Lintian (Debian 12) shows no errors and no warnings. Accepted at the
# informational level (lintian -I):
#   hardening-no-bindnow, hardening-no-fortify-functions  CMake's own build
#       flags are used, not dpkg-buildflags'
#   binary-has-unneeded-section  the .comment section CPack's strip leaves
#   package-contains-documentation-outside-usr-share-doc  the seed texts,
#       help page and calendar source line are data the program reads
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
dpkg-deb --field "$deb"
# Nothing outside /usr.
if dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v -E '^\./(usr/.*)?$'; then
  echo "files outside /usr in $deb" >&2
  exit 1
fi
lintian --fail-on error "$deb"
