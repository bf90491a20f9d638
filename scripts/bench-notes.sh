#!/usr/bin/env bash
# Times the consultation record (鑑定記録) with 10,000 clients and 200,000
# entries (targets: a client's entries ≤ 30 ms, full-text search ≤ 50 ms,
# the week's agenda ≤ 20 ms), in a register file and on a throwaway local
# PostgreSQL server (a cluster of its own, removed after; its database has
# LC_CTYPE C.UTF-8 so that pg_trgm indexes Japanese). The register is made
# afresh each run; the times are of the storage as the page calls it, the
# median and the slowest of repeated runs. On the server a search of two
# characters looks among the newest entries, then in the index of character
# pairs.
#   scripts/bench-notes.sh [BUILD_DIR] [CLIENTS] [ENTRIES] [file|server|both]
#   (default: build 10000 200000 both)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
clients=${2:-10000}
entries=${3:-200000}
where=${4:-both}
bench="$build/bin/notes_bench"
if [ ! -x "$bench" ]; then
  echo "notes_bench not found in $build/bin; build it first (cmake --build $build --target notes_bench)" >&2
  exit 2
fi
echo "consultation record on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ), load $(cut -d' ' -f1 /proc/loadavg)"
if [ "$where" = file ] || [ "$where" = both ]; then "$bench" file "$clients" "$entries"; fi
if [ "$where" = server ] || [ "$where" = both ]; then "$bench" server "$clients" "$entries"; fi
