#!/usr/bin/env bash
# Times the two big batch exports and checks that their memory stays flat:
# each runs over one year and over its whole range, and the peak resident
# memory of the two runs is compared.
#   scripts/bench-exports.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/bin/zelvara-cli"
if [ ! -x "$cli" ]; then
  echo "zelvara-cli not found in $build/bin; build it first (cmake --build $build --target zelvara-cli)" >&2
  exit 2
fi
out=$(mktemp -d)
trap 'rm -rf "$out" "$out.time"' EXIT

# run LABEL TOOL FROM TO: prints wall seconds and peak memory of one export.
run() {
  local label=$1 tool=$2 from=$3 to=$4
  rm -rf "${out:?}"/*
  /usr/bin/time -o "$out.time" -f "%e %M" "$cli" export "$tool" --out "$out" --from "$from" --to "$to" >/dev/null 2>&1
  printf "%-28s %8s s wall %9s KB peak memory\n" "$label" $(cat "$out.time")
}

echo "zelvara-cli export on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ), load $(cut -d' ' -f1 /proc/loadavg)"
run "2TXT 1925 (one year)"       2txt   1925 1925
run "2TXT 1925-2010 (86 files)"  2txt   1925 2010
run "koyomi.DB 1930 (one year)"  koyomi 1930 1930
run "koyomi.DB 1930-2010"        koyomi 1930 2010
