#!/usr/bin/env bash
# The installed layout: `cmake --install` into a temporary prefix made
# read-only, then both programs run as a new user would (fresh HOME and XDG
# folders). Everything must work, the user's files must appear in the data
# folder, and nothing may be written under the prefix. Tests may run as root,
# who ignores permissions, so the prefix is also compared before and after.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }
for f in bin/zelvara bin/zelvara-cli share/zelvara/2000.eto share/zelvara/seed/KANTEI.txt share/zelvara/bmp/tenpu.bmp \
         share/zelvara/help/index.html share/zelvara/sound1.wav share/applications/jp.zelvara.Zelvara.desktop \
         share/metainfo/jp.zelvara.Zelvara.metainfo.xml share/icons/hicolor/scalable/apps/jp.zelvara.Zelvara.svg \
         share/icons/hicolor/16x16/apps/jp.zelvara.Zelvara.png share/icons/hicolor/256x256/apps/jp.zelvara.Zelvara.png \
         share/man/man1/zelvara-cli.1.gz share/doc/zelvara/copyright; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
chmod -R a-w "$prefix"
snapshot() { (cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort); }
snapshot >"$tmp/before"

export HOME=$tmp/home XDG_DATA_HOME=$tmp/xdg-data XDG_CONFIG_HOME=$tmp/xdg-config XDG_CACHE_HOME=$tmp/xdg-cache
unset ZELVARA_HOME ZELVARA_DATA_DIR
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$tmp/out"
cd "$tmp/out"  # a writable working folder; nothing may land in it either but the outputs
data=$XDG_DATA_HOME/zelvara
cli=$prefix/bin/zelvara-cli
birth=(--sex 男 --date S34/5/7 --hour 05:00-07:00 --name 見本太郎)

run() { "$@" >"$tmp/stdout" 2>"$tmp/stderr" || { cat "$tmp/stdout" "$tmp/stderr" >&2; fail "$*"; }; }

# The desktop program starts, makes its tables in the data folder and ends.
run timeout 120 "$prefix/bin/zelvara" --no-splash --quit-after-start
for t in nam_data.db KYU12.db KANTEI.DB hosiImi.DB Ai01.DB Ai02.DB helpbun.DB; do
  [ -s "$data/$t" ] || fail "the desktop program did not make $data/$t"
done

run "$cli" chart "${birth[@]}"
grep -q 見本太郎 "$tmp/stdout" || fail "chart printed no chart"
run "$cli" reading overall --palace 命宮 "${birth[@]}"
grep -q -- "--- KanteiMemo" "$tmp/stdout" || fail "reading overall printed no reading"
run "$cli" print chart --pdf "$tmp/out/chart.pdf" "${birth[@]}"
[ -s "$tmp/out/chart.pdf" ] || fail "print chart wrote no PDF"
run "$cli" print legends --pdf "$tmp/out/legends.pdf"
[ -s "$tmp/out/legends.pdf" ] || fail "print legends wrote no PDF"

# A register write: restore saves the current register under backup/ first.
run "$cli" register backup --out "$tmp/out/copy.db"
run "$cli" register restore --from "$tmp/out/copy.db"
ls "$data"/backup/* >/dev/null 2>&1 || fail "register restore left no backup in $data/backup"
run "$cli" register check

run "$cli" --version
grep -qF "$data" "$tmp/stdout" || fail "--version does not name the data folder $data"
grep -qF "$prefix/share/zelvara" "$tmp/stdout" || fail "--version does not name the shipped folder"

# --home wins over the installed layout: everything goes to that folder.
home=$tmp/portable
cp -r "$prefix/share/zelvara" "$home" && chmod -R u+w "$home"
run "$cli" reading overall --palace 命宮 --home "$home" "${birth[@]}"
[ -s "$home/KANTEI.DB" ] || fail "--home: the tables were not made in $home"
run timeout 120 "$prefix/bin/zelvara" --home "$home" --no-splash --quit-after-start
[ -s "$home/nam_data.db" ] || fail "--home: the desktop program did not make its register in $home"
ZELVARA_HOME=$home run "$cli" register list

snapshot >"$tmp/after"
if ! diff -u "$tmp/before" "$tmp/after" >&2; then fail "files changed under the installed prefix"; fi
echo "install layout ok: shipped $prefix/share/zelvara, user data $data"
