#!/usr/bin/env bash
# Times the register's CSV import and export with 10,000 records (targets:
# import ≤ 1 s, export ≤ 0.5 s), on a fresh program folder each run. The
# records differ in name, birth and palace fields, some need quoting. Then the
# import of as many records from a Paradox table into an empty register (the
# table written by the tests' pxlib writer, paradox_bench_writer).
#   scripts/bench-register.sh [BUILD_DIR] [RECORDS]   (default: build 10000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-10000}
cli="$build/bin/zelvara-cli"
if [ ! -x "$cli" ]; then
  echo "zelvara-cli not found in $build/bin; build it first (cmake --build $build --target zelvara-cli)" >&2
  exit 2
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

hours=(23:00-01:00 01:00-03:00 03:00-05:00 05:00-07:00 07:00-09:00 09:00-11:00
       11:00-13:00 13:00-15:00 15:00-17:00 17:00-19:00 19:00-21:00 21:00-23:00 不明の場合)
sexes=(男 女)
{
  echo "氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,hubo,meikyu,keitei,husai,sijyo,zaihaku,situyaku,seni,nuboku,kanroku,dentaku,hukutoku"
  for ((i = 0; i < count; i++)); do
    name="見本${i}"
    if ((i % 7 == 0)); then name="\"山田, \"\"${i}\"\"\""; fi
    printf '%s,%d,%d,%d,%s,%s,紫微,,,天府,,,,,,,,太陽\r\n' "$name" $((1930 + i % 90)) $((1 + i % 12)) $((1 + i % 28)) \
      "${hours[i % 13]}" "${sexes[i % 2]}"
  done
} > "$home/in.csv"

# seconds LABEL COMMAND...: prints the wall time of one run.
seconds() {
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>"$home/err" || { cat "$home/err" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" 'BEGIN { printf "%-40s %6.3f s\n", l, e - s }'
}

echo "zelvara-cli register on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ), load $(cut -d' ' -f1 /proc/loadavg)"
seconds "import $count records (empty register)" "$cli" register import --csv "$home/in.csv" --home "$home"
seconds "export $count records (UTF-8)" "$cli" register export --csv "$home/out.csv" --home "$home"
seconds "export $count records (Shift-JIS)" "$cli" register export --csv "$home/out-sjis.csv" --encoding cp932 --home "$home"
seconds "import again (all duplicates)" "$cli" register import --csv "$home/out.csv" --home "$home"

# The same records, every other one with an exact birth time and place.
awk -F'\r' 'NR == 1 { print $1 ",出生時刻,出生地,経度,タイムゾーン,補正\r"; next }
             { print $1 (NR % 2 ? ",,,,,\r" : ",10:40,北海道 札幌市,141.3472,,mean\r") }' "$home/in.csv" > "$home/timed.csv"
mkdir "$home/timed"
seconds "import $count, half with exact times" "$cli" register import --csv "$home/timed.csv" --home "$home/timed"
seconds "export $count, half with exact times" "$cli" register export --csv "$home/timed-out.csv" --home "$home/timed"

writer="$build/bin/paradox_bench_writer"
if [ -x "$writer" ]; then
  "$writer" "$home/nam_data_old.db" "$count"
  mkdir "$home/paradox"
  seconds "import $count from Paradox (empty register)" "$cli" register import --paradox "$home/nam_data_old.db" --home "$home/paradox"
else
  echo "paradox_bench_writer not found in $build/bin; build it for the Paradox figure (--target paradox_bench_writer)" >&2
fi
