#!/usr/bin/env bash
# Installs what is missing, builds and starts Zelvara.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
if [ -x build/bin/zelvara ]; then
  exec build/bin/zelvara "$@"
fi
# Until the desktop program exists: a chart for a sample birth.
exec build/bin/zelvara-cli chart --sex 男 --date 1959/5/7 --hour 05:00-07:00 --name 見本太郎 "$@"
