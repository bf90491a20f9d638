#!/usr/bin/env bash
# Starts the program under Xvfb with a fresh program folder holding a few
# sample people, and takes a screenshot of every page (and of the message
# that the page guard shows before a chart exists).
#   scripts/screenshots.sh [OUTPUT_DIR]   (default: build-gui/screenshots)
# Needs Xvfb, xdotool and imagemagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-gui/screenshots}
bin=${ZELVARA_BIN:-build-gui/bin}
mkdir -p "$out"
home=$(mktemp -d)
cfg=$(mktemp -d)
cp -r "$bin"/*.bmp "$bin"/*.wav "$bin"/*.eto "$bin"/calendar-source.txt "$bin"/help "$bin"/bmp "$bin"/seed "$home"/
# Two sample people, written straight into a fresh register.
python3 - "$home/nam_data.db" <<'PY'
import sqlite3, sys
fields = ["氏名","生まれた年","生まれた月","生まれた日","生まれた時刻","性別","hubo","meikyu","keitei",
          "husai","sijyo","zaihaku","situyaku","seni","nuboku","kanroku","dentaku","hukutoku"]
db = sqlite3.connect(sys.argv[1])
db.execute("CREATE TABLE nam_data (%s)" % ", ".join('"%s" TEXT NOT NULL DEFAULT \'\'' % f for f in fields))
rows = [["見本太郎","1959","5","7","05:00-07:00","男","天同","紫薇","天府","太陰","貪狼","巨門","天相","天梁","七殺","破軍","太陽","武曲"],
        ["山田花子","S50","12","24","不明の場合","女"] + [""] * 12]
db.executemany("INSERT INTO nam_data VALUES (%s)" % ",".join("?" * 18), rows)
db.commit()
PY
display=:97
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
shot 1-datainput
# Page tabs stand on the right, 100 pixels long each, the first at the top.
eval "$(xdotool getwindowgeometry --shell "$win")"
tabx=$((WIDTH - 12))
pages=(2-syuseizu 3-kanteisheet 4-kounsheet 5-kekkonsheet)
y=150
for page in "${pages[@]}"; do
  xdotool mousemove --window "$win" $tabx $y click 1; sleep 0.8
  shot "$page-guard"
  xdotool key Return; sleep 0.5
  y=$((y + 100))
done
# Back to the data page, cast the chart of the first person, then picture
# every page with it.
xdotool mousemove --window "$win" $tabx 50 click 1; sleep 0.8
xdotool key Return; sleep 0.5
# The "鑑定(&K)" button stands at the top right of the data page.
xdotool mousemove --window "$win" $((WIDTH - 70)) 18 click 1; sleep 1.5
shot 2-syuseizu
y=250
for page in "${pages[@]:1}"; do
  xdotool mousemove --window "$win" $tabx $y click 1; sleep 0.8
  shot "$page"
  y=$((y + 100))
done
# The windows of the bottom panel: perpetual calendar, legends, star matrix.
# Each is taken away again before the next opens.
visible() { xdotool search --onlyvisible --name '.' 2>/dev/null | sort; }
for pair in "6-mannen:$((WIDTH - 248))" "7-legends:$((WIDTH - 333))" "8-matrix:$((WIDTH - 424))"; do
  before=$(visible)
  xdotool mousemove --window "$win" "${pair#*:}" $((HEIGHT - 16)) click 1; sleep 1.5
  shot "${pair%%:*}"
  for w in $(comm -13 <(echo "$before") <(visible)); do xdotool windowunmap "$w"; done
  sleep 0.5
done
echo "screenshots in $out"
