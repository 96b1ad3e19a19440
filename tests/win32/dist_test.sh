#!/usr/bin/env bash
# The release zip as a Windows user gets it:
#   tests/win32/dist_test.sh WINDOWS_BUILD_DIR VERSION
# Made twice from the same tree it has the same bytes. Unpacked into a new
# Wine prefix, its corvane-sample.exe makes today's recording, corvane.exe
# started from there paints its guide and writes its settings beside itself,
# and corvane-epg.exe names the version of the build.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd) || exit 1
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-dist.XXXXXX") || exit 1
export CORVANE_WINEPREFIX="$work/prefix" WINEPREFIX="$work/prefix"
corvane_pid=""
cleanup() {
  [ -n "$corvane_pid" ] && kill "$corvane_pid" 2>/dev/null
  timeout 30 wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "dist test: $*" >&2; exit 1; }
wine_run() { "$top/scripts/wine-exec.sh" "$@"; }

zip="corvane-$version-win64.zip"
"$top/scripts/make-dist.py" "$build" "$work/first" >/dev/null || fail "make-dist failed"
"$top/scripts/make-dist.py" "$build" "$work/second" >/dev/null || fail "make-dist failed the second time"
cmp "$work/first/$zip" "$work/second/$zip" || fail "two zips of the same tree differ"

python3 -m zipfile -e "$work/first/$zip" "$work/unpacked" || fail "the zip does not unpack"
folder="$work/unpacked/corvane-$version"
cd "$folder" || fail "no folder corvane-$version in the zip"

# Wine makes the new prefix at the first start.
[ "$(wine_run corvane-epg.exe --version | tr -d '\r')" = "corvane-epg $version" ] ||
  fail "corvane-epg.exe --version does not print $version"
wine_run corvane-sample.exe sample.ts || fail "corvane-sample.exe failed"
[ -s sample.ts ] || fail "corvane-sample.exe wrote no recording"

wine_run corvane.exe sample.ts &
corvane_pid=$!
wine_run "$build/corvane-ctl.exe" wait-painted --guide --timeout 180 || fail "corvane.exe did not paint its guide"
wine_run "$build/corvane-ctl.exe" close --timeout 60 >/dev/null || fail "corvane.exe did not close"
wait "$corvane_pid" || fail "corvane.exe ended with an error"
corvane_pid=""
[ -s corvane.ini ] || fail "no corvane.ini beside corvane.exe"
echo "dist test: $zip unpacks, makes its sample and shows the guide"
