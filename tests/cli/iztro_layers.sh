#!/bin/sh
# Cross-check of the day (流日) and hour (流時) layers with iztro, another
# school's program, run from npm. It needs node, npm and the network once (the
# package is kept in the build folder); without them the test is skipped.
# usage: iztro_layers.sh ZELVARA_CLI PROGRAM_DIR WORK_DIR SCRIPT
cli=$1 home=$2 work=$3 script=$4
skip() { echo "Skipped: $1"; exit 77; }
command -v node >/dev/null 2>&1 || skip "node is not installed"
command -v npm >/dev/null 2>&1 || skip "npm is not installed"
mkdir -p "$work" || skip "cannot make $work"
if [ ! -f "$work/node_modules/iztro/package.json" ]; then
  (cd "$work" && timeout 300 npm install --no-audit --no-fund --no-save iztro@2 >npm-install.log 2>&1) ||
    skip "npm could not install iztro (no network?); see $work/npm-install.log"
fi
NODE_PATH="$work/node_modules" exec node "$script" "$cli" "$home"
