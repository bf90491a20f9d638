#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those that are missing. Quick when everything is there.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config ccache
  # Qt 6 (a missing one breaks find_package(Qt6 ...) with a misleading message)
  qt6-base-dev qt6-charts-dev qt6-multimedia-dev libqt6sql6-sqlite libqt6opengl6-dev libsqlite3-dev
  libxkbcommon-dev libgl-dev
  # fonts for Japanese text on screen and in prints
  fonts-ipafont-gothic fonts-ipafont-mincho
  # astronomy for the calendar generator
  libnova-dev liberfa-dev
  # the register's CSV files; the older program's Paradox tables
  libcsv-dev pxlib-dev
  # the register on a PostgreSQL server (libpq reads its URIs; tests start their own);
  # contrib's pg_trgm (in Debian's postgresql-15) indexes the consultation search
  postgresql postgresql-contrib libqt6sql6-psql libpq-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev xvfb xauth poppler-utils
  # Qt's Japanese dialogs; the icon renderer; packaging and its validators
  qt6-translations-l10n qt6-svg-dev desktop-file-utils appstream lintian dpkg-dev fakeroot groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
