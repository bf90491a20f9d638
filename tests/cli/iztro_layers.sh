#!/bin/sh
# Runs a cross-check with iztro, another school's program, from npm: the day
# (流日) and hour (流時) layers (iztro_layers.js), or the birth chart cast by
# iztro's conventions (iztro_conventions.js). It needs node, npm and the
# network once (the package is kept in WORK_DIR); without them the test is
# skipped. VERSION is the package version to install (default: the newest 2.x);
# ARGS go to the script after the program and its folder.
# usage: iztro_layers.sh ZELVARA_CLI PROGRAM_DIR WORK_DIR SCRIPT [VERSION [ARGS...]]
cli=$1 home=$2 work=$3 script=$4 version=${5:-2}
shift 4
[ $# -gt 0 ] && shift
skip() { echo "Skipped: $1"; exit 77; }
command -v node >/dev/null 2>&1 || skip "node is not installed"
command -v npm >/dev/null 2>&1 || skip "npm is not installed"
mkdir -p "$work" || skip "cannot make $work"
if [ ! -f "$work/node_modules/iztro/package.json" ]; then
  (cd "$work" && timeout 300 npm install --no-audit --no-fund --no-save "iztro@$version" >npm-install.log 2>&1) ||
    skip "npm could not install iztro@$version (no network?); see $work/npm-install.log"
fi
NODE_PATH="$work/node_modules" exec node "$script" "$cli" "$home" "$@"
