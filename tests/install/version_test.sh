#!/bin/sh
# The project's version is the one the programs and the packaging name:
# zelvara-cli --version, the manual pages the build made, and the changelog's
# newest entry and the metainfo's newest release (written by hand with each
# release).
set -eu
version=$1 packaging=$2 pages=$3 cli=$4
fail() { echo "$1" >&2; exit 1; }
"$cli" --version | head -n 1 | grep -qxF "zelvara-cli $version" || fail "zelvara-cli --version does not say $version"
for page in "$pages/zelvara.1" "$pages/zelvara-cli.1"; do
  head -n 1 "$page" | grep -qF "\"Zelvara $version\"" || fail "$page does not name version $version"
done
head -n 1 "$packaging/changelog" | grep -qF "zelvara ($version)" ||
  fail "the changelog's newest entry is not version $version"
grep -m 1 '<release ' "$packaging/jp.zelvara.Zelvara.metainfo.xml" | grep -qF "version=\"$version\"" ||
  fail "the metainfo's newest release is not version $version"
