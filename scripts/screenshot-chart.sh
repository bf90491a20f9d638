#!/usr/bin/env bash
# Casts a chart in the program under Xvfb and takes screenshots of the chart
# page and of the hour window (a person whose birth hour is unknown).
#   scripts/screenshot-chart.sh [OUTPUT_DIR]   (default: build/screenshots)
# Needs Xvfb, xdotool and imagemagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
bin=${ZELVARA_BIN:-build/bin}
mkdir -p "$out"
home=$(mktemp -d)
cfg=$(mktemp -d)
cp -r "$bin"/*.bmp "$bin"/*.wav "$bin"/*.eto "$bin"/help "$home"/ 2>/dev/null || true
python3 - "$home/nam_data.db" <<'PY'
import sqlite3, sys
fields = ["氏名","生まれた年","生まれた月","生まれた日","生まれた時刻","性別","hubo","meikyu","keitei",
          "husai","sijyo","zaihaku","situyaku","seni","nuboku","kanroku","dentaku","hukutoku"]
db = sqlite3.connect(sys.argv[1])
db.execute("CREATE TABLE nam_data (%s)" % ", ".join('"%s" TEXT NOT NULL DEFAULT \'\'' % f for f in fields))
rows = [["見本太郎","S34","5","7","05:00-07:00","男"] + [""] * 12,
        ["山田花子","S50","12","24","不明の場合","女"] + [""] * 12]
db.executemany("INSERT INTO nam_data VALUES (%s)" % ",".join("?" * 18), rows)
db.commit()
PY
display=:96
Xvfb $display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$home" "$cfg"' EXIT
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME=$cfg
"$bin/zelvara" --home "$home" --no-splash >/dev/null 2>&1 &
app=$!
sleep 3
win=$(xdotool search --name 'Zelvaraプロ版Version3.1' | head -1)
shot() { import -window root "$out/$1.png"; }
xdotool windowfocus --sync "$win" || true
xdotool key --window "$win" alt+k; sleep 1
shot chart-page
# The second person has no known hour: the hour window opens.
xdotool key --window "$win" ctrl+Prior; sleep 0.5              # back to データ入力
xdotool key --window "$win" alt+n; sleep 0.5
xdotool key --window "$win" alt+k; sleep 1
xdotool key Return; sleep 1                                    # the notice before the inference
shot hour-window
echo "screenshots in $out"
