#!/usr/bin/env bash
# The Debian package as a user on a fresh Debian 12 machine gets it: CPack
# makes it from the build folder (the programs are not rebuilt), every
# dependency must be installable from the Debian archive, and the files it
# would put under / are unpacked into a read-only temporary root where both
# programs run for a new user (fresh HOME and XDG folders). Nothing may be
# written under that root; the user's files appear in the data folder. The
# package is never installed into the system.
#   package_test.sh BUILD_DIR
# Exit 77 (skipped) when dpkg-deb, cpack or apt are missing.
set -euo pipefail
build=$(realpath "$1")
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb cpack apt-get apt-cache dpkg; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian packaging tools)"
done
[ -x "$build/bin/zelvara-cli" ] && [ -x "$build/bin/zelvara" ] || skip "build zelvara and zelvara-cli first"
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT

# The package scripts/package.sh made, when it is newer than the programs and
# the data; else one made here by CPack in a folder of its own (gzip instead
# of xz: quicker, and the content is the same), so that a package.sh run in
# the same build folder is not disturbed.
debs=("$build"/zelvara_*_amd64.deb)
deb=${debs[0]}
[ -e "$deb" ] || deb=
if [ -n "$deb" ] && [ -z "$(find "$build/bin" -maxdepth 3 -newer "$deb" \( -name zelvara -o -name zelvara-cli \
      -o -name '*.eto' -o -name '*.bmp' -o -name '*.wav' -o -path '*/seed/*' -o -path '*/help/*' \) -print -quit)" ]; then
  echo "package: $deb (made by scripts/package.sh)"
else
  (cd "$build" && cpack -G DEB -B "$tmp/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$tmp/pkg" \
     -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
  deb=$(ls "$tmp"/pkg/zelvara_*_amd64.deb)
  echo "package: $(basename "$deb") (made by CPack)"
fi

# Every dependency comes from a Debian archive, not only from this machine's
# own installed packages.
depends=$(dpkg-deb --field "$deb" Depends)
[ -n "$depends" ] || fail "the package declares no dependencies"
# Each alternative's name; apt-cache policy of them all at once, and the ones
# with a version table line other than the dpkg status file (an archive).
alternatives=$(echo "$depends" | tr ',' '\n' | sed -E 's/\([^)]*\)//g; s/[[:space:]]//g')
read -ra names <<<"$(echo "$alternatives" | tr '|' '\n' | sort -u | tr '\n' ' ')"
available=" $(apt-cache policy "${names[@]}" 2>/dev/null | awk '
  /^[^ ]/ {sub(":$", "", $1); name = $1; next}
  /^ +[0-9]+ / && !/\/var\/lib\/dpkg\/status/ && name != "" {print name; name = ""}' | tr '\n' ' ') "
missing=()
for choice in $alternatives; do
  found=
  IFS='|' read -ra options <<<"$choice"
  for name in "${options[@]}"; do [[ "$available" == *" $name "* ]] && found=1; done
  [ -n "$found" ] || missing+=("$choice")
done
if [ ${#missing[@]} -gt 0 ]; then
  if ! apt-cache policy libc6 | grep -E '^ +[0-9]+ ' | grep -qv '/var/lib/dpkg/status'; then
    skip "no package lists (run apt-get update): cannot check the dependencies"
  fi
  fail "dependencies not available from the Debian archive: ${missing[*]}"
fi
# apt resolves the whole package as `apt install ./zelvara_*.deb` would.
apt-get install --simulate --no-install-recommends "$deb" >"$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; fail "apt-get install --simulate $deb"; }

# What the programs load by name at run time (not seen by dpkg-shlibdeps) is
# in a package the package depends on: the SQLite driver, Qt's Japanese
# translations, the layouts' fonts.
depnames=" $(echo "$depends" | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/[[:space:]]//g' | tr '\n' ' ') "
# The package owning each of the given files, one "file owner" line each;
# one dpkg -S for them all (it reads the whole package database).
owners() { dpkg -S "$@" 2>/dev/null | sed -E 's/^([^:,]+)[^ ]* (.*)$/\2 \1/' || true; }
depends_on() { [[ "$depnames" == *" $1 "* ]]; }
runtime=(qt6/plugins/sqldrivers/libqsqlite.so qt6/translations/qtbase_ja.qm ipafont-gothic/ipag.ttf
         ipafont-mincho/ipam.ttf)
owners "${runtime[@]}" >"$tmp/runtime-owners"
for file in "${runtime[@]}"; do
  owner=$(awk -v f="$file" 'index($1, f) {print $2; exit}' "$tmp/runtime-owners")
  [ -n "$owner" ] || { echo "note: $file is not installed here; its package is not checked"; continue; }
  depends_on "$owner" || fail "$file comes from $owner, which the package does not depend on"
done
# Every shared library the programs link is from a package it depends on.
unpacked=$tmp/root
dpkg-deb -x "$deb" "$unpacked"
declare -A needed_by=()
ldconfig -p >"$tmp/ldconfig"
for exe in zelvara zelvara-cli; do
  for lib in $(objdump -p "$unpacked/usr/bin/$exe" | awk '/NEEDED/ {print $2}'); do
    path=$(awk -v l="$lib" '$1 == l && /x86-64/ {print $NF; exit}' "$tmp/ldconfig")
    [ -n "$path" ] || fail "$exe needs $lib, which is not installed here"
    needed_by[$path]="$exe needs $lib"
  done
done
# dpkg knows a library by the path its package put it at: /lib or /usr/lib.
variants() { printf '%s\n' "$1" "$(realpath "$1")" "/usr${1#/usr}" "${1#/usr}"; }
paths=()
for path in "${!needed_by[@]}"; do mapfile -t -O "${#paths[@]}" paths < <(variants "$path"); done
owners "${paths[@]}" >"$tmp/lib-owners"
for path in "${!needed_by[@]}"; do
  owner=$(variants "$path" | awk 'NR == FNR {want[$1]; next} $1 in want {print $2; exit}' - "$tmp/lib-owners")
  [ -n "$owner" ] || fail "no package owns $path (${needed_by[$path]})"
  depends_on "$owner" || fail "${needed_by[$path]} from $owner, which the package does not depend on"
done

# Nothing outside /usr; the programs, data and desktop files where a desktop
# looks for them.
if dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v -E '^\./(usr/.*)?$'; then
  fail "files outside /usr in the package"
fi
for f in usr/bin/zelvara usr/bin/zelvara-cli usr/share/zelvara/seed/KANTEI.txt usr/share/zelvara/bmp/tenpu.bmp \
         usr/share/applications/jp.zelvara.Zelvara.desktop usr/share/icons/hicolor/48x48/apps/jp.zelvara.Zelvara.png \
         usr/share/metainfo/jp.zelvara.Zelvara.metainfo.xml usr/share/doc/zelvara/copyright; do
  [ -e "$unpacked/$f" ] || fail "not in the package: /$f"
done
exec_line=$(grep -m1 -E '^Exec=' "$unpacked/usr/share/applications/jp.zelvara.Zelvara.desktop")
[[ "$exec_line" == Exec=zelvara* ]] || fail "the desktop entry does not start zelvara: $exec_line"

chmod -R a-w "$unpacked"
snapshot() { (cd "$unpacked" && find . -printf '%p %s %T@ %m\n' | sort); }
snapshot >"$tmp/before"

export HOME=$tmp/home XDG_DATA_HOME=$tmp/xdg-data XDG_CONFIG_HOME=$tmp/xdg-config XDG_CACHE_HOME=$tmp/xdg-cache
unset ZELVARA_HOME ZELVARA_DATA_DIR
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$tmp/out"
cd "$tmp/out"
data=$XDG_DATA_HOME/zelvara
cli=$unpacked/usr/bin/zelvara-cli
birth=(--sex 女 --date H2/11/23 --hour 13:00-15:00 --name 包装花子)
run() { "$@" >"$tmp/stdout" 2>"$tmp/stderr" || { cat "$tmp/stdout" "$tmp/stderr" >&2; fail "$*"; }; }

run "$cli" --version
grep -qF "$unpacked/usr/share/zelvara" "$tmp/stdout" || { cat "$tmp/stdout"; fail "--version does not name the unpacked share folder"; }
grep -qF "$data" "$tmp/stdout" || { cat "$tmp/stdout"; fail "--version does not name the data folder $data"; }

run timeout 120 "$unpacked/usr/bin/zelvara" --no-splash --quit-after-start
[ -s "$data/nam_data.db" ] || fail "the desktop program made no register in $data"

run "$cli" chart "${birth[@]}"
grep -q 包装花子 "$tmp/stdout" || fail "chart printed no chart"
run "$cli" reading overall --palace 命宮 "${birth[@]}"
grep -q -- "--- KanteiMemo" "$tmp/stdout" || fail "reading overall printed no reading"
[ -s "$data/KANTEI.DB" ] || fail "the reading tables were not made in $data"
run "$cli" print chart --pdf "$tmp/out/chart.pdf" "${birth[@]}"
[ "$(head -c4 "$tmp/out/chart.pdf")" = "%PDF" ] || fail "print chart wrote no PDF"

# A register write: a restore keeps the register as it was under backup/.
run "$cli" register backup --out "$tmp/out/copy.db"
run "$cli" register restore --from "$tmp/out/copy.db"
ls "$data"/backup/nam_data-*.db >/dev/null 2>&1 || fail "register restore left no backup in $data/backup"
run "$cli" register check

# The user's own copy of a shipped picture is the one read: a broken copy
# stops the legends print naming it; without it the shipped pictures print.
mkdir -p "$data/bmp"
echo "not a picture" >"$data/bmp/zelvsei.bmp"
if "$cli" print legends --pdf "$tmp/out/legends.pdf" >"$tmp/stdout" 2>"$tmp/stderr"; then
  fail "print legends did not read the user's copy $data/bmp/zelvsei.bmp"
fi
grep -qF "$data/bmp/zelvsei.bmp" "$tmp/stderr" || { cat "$tmp/stderr"; fail "the refusal does not name the user's picture"; }
[ ! -e "$tmp/out/legends.pdf" ] || fail "a refused print left a PDF"
rm "$data/bmp/zelvsei.bmp"
run "$cli" print legends --pdf "$tmp/out/legends.pdf"
[ -s "$tmp/out/legends.pdf" ] || fail "print legends wrote no PDF from the shipped pictures"

snapshot >"$tmp/after"
if ! diff -u "$tmp/before" "$tmp/after" >&2; then fail "files changed under the unpacked package"; fi
echo "package ok: $(basename "$deb") unpacked, user data in $data"
