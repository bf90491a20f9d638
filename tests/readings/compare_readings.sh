#!/usr/bin/env bash
# Composes every reading — the twelve palaces, the twelve luck periods and the
# marriage reading, for a man and for a woman — of the first chart of every
# star-pair key, with the zelvara-starpairs of two builds on the shipped seed
# texts, and compares the texts byte for byte. Exit status 1 when any differ.
#
#   compare_readings.sh OLD_STARPAIRS NEW_STARPAIRS CHARTS DATA SEED
#
# CHARTS is what zelvara-pair-charts DATA 1921 2100 prints; DATA holds the
# calendar files; SEED the seed texts the reading tables are made from.
set -euo pipefail
[ $# -eq 5 ] || { sed -n '2,10p' "$0" >&2; exit 2; }
old=$1 new=$2 charts=$3 data=$4 seed=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/old-tables" "$work/new-tables"

compose() {  # binary tables sex date hour
    "$1" read "$data" "$2" "$seed" "$3" "$4" "$5" 1 2 3 4 5 6 7 8 9 10 11 12 2>&1 || echo "exit status $?"
}

cut -f2,3 "$charts" | sort -u >"$work/moments"
keys=$(wc -l <"$charts")
readings=0 bytes=0 differ=0
while IFS=$'\t' read -r date hour; do
    for sex in 男 女; do
        compose "$old" "$work/old-tables" "$sex" "$date" "$hour" >"$work/old.txt"
        compose "$new" "$work/new-tables" "$sex" "$date" "$hour" >"$work/new.txt"
        if ! cmp -s "$work/old.txt" "$work/new.txt"; then
            differ=$((differ + 1))
            echo "differs: $sex $date $hour"
            diff "$work/old.txt" "$work/new.txt" | head -20
        fi
        readings=$((readings + 1))
        bytes=$((bytes + $(wc -c <"$work/new.txt")))
    done
done <"$work/moments"
echo "$keys keys, $readings charts (25 readings each), $bytes bytes compared, $differ differ"
[ "$differ" -eq 0 ]
